# CMake generated Testfile for 
# Source directory: /work/main/tests
# Build directory: /work/main/build/native/tests
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
add_test([=[native.test_database]=] "/work/main/build/native/bin/test_database")
set_tests_properties([=[native.test_database]=] PROPERTIES  TIMEOUT "300" _BACKTRACE_TRIPLES "/work/main/tests/CMakeLists.txt;14;add_test;/work/main/tests/CMakeLists.txt;18;kestrune_test;/work/main/tests/CMakeLists.txt;0;")
subdirs("tools")
