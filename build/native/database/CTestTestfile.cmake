# CMake generated Testfile for 
# Source directory: /work/main/database
# Build directory: /work/main/build/native/database
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
