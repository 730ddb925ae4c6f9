# Cross build of the same programs for x86_64: the test build on hosts whose kernel runs
# 64-bit user code only, where 32-bit Wine cannot start.
set(KESTRUNE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
