# Cross build of the 32-bit Windows programs, as Kestrune ships.
set(KESTRUNE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
