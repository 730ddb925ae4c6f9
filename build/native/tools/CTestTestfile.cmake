# CMake generated Testfile for 
# Source directory: /work/main/tools
# Build directory: /work/main/build/native/tools
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
