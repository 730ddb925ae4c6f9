# Cross build of the Windows programs with MinGW-w64; the including toolchain file sets
# KESTRUNE_MINGW_ARCH (i686 for the shipped program, x86_64 for the test build on hosts that
# run 64-bit code only).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KESTRUNE_MINGW_ARCH})

set(CMAKE_C_COMPILER ${KESTRUNE_MINGW_ARCH}-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER ${KESTRUNE_MINGW_ARCH}-w64-mingw32-g++)
set(CMAKE_RC_COMPILER ${KESTRUNE_MINGW_ARCH}-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRUNE_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One exe that runs on a bare Windows: no runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and tools run under Wine in the project's own prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh")
