#!/usr/bin/env bash
# Configures and builds the builds: the native portable core with hdbtool (build/native), the fuzz
# targets of the database parsers (build/fuzz), the Windows programs (build/win32: i686 where the
# host runs i386 code, x86_64 where it runs 64-bit code only) and, on the latter where qemu runs
# i386 programs, the shipped i686 build's machine views test for the WoW64 check (build/wow64).
# The native build's ctest also runs the Windows, WoW64 and fuzz tests.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The Windows build runs hdbtool.exe under Wine to make its signature package.
bash "$root/tools/wine-prefix.sh"
source "$root/tools/windows-arch.sh"

# configure_windows BUILD-FOLDER ARCH [CMAKE-ARGS...]: a change of architecture starts the folder
# afresh.
configure_windows() {
  local folder=$1 toolchain="$root/cmake/mingw-$2.cmake"
  shift 2
  if ! grep -qs "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain\$" "$folder/CMakeCache.txt"; then
    rm -rf "$folder"
  fi
  cmake -S "$root" -B "$folder" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" "$@" >/dev/null
}

# The update's end-to-end test runs the native release tool.
configure_windows "$root/build/win32" "$KESTRUNE_WINDOWS_ARCH" -DKESTRUNE_NATIVE_TOOLS_DIR="$root/build/native/bin" \
  -DKESTRUNE_WOW64_BUILD_DIR="$root/build/wow64"
# The fuzz build (clang with libFuzzer) fuzzes the database parsers; the native build's ctest runs it.
cmake -S "$root" -B "$root/build/fuzz" -G Ninja -DKESTRUNE_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake -S "$root" -B "$root/build/native" -G Ninja -DKESTRUNE_WIN32_BUILD_DIR="$root/build/win32" \
  -DKESTRUNE_FUZZ_BUILD_DIR="$root/build/fuzz" >/dev/null
cmake --build "$root/build/native"
cmake --build "$root/build/fuzz"
cmake --build "$root/build/win32"
if [ "$KESTRUNE_WINDOWS_ARCH" = x86_64 ] && [ "$KESTRUNE_HOST_I386" = emulated ]; then
  configure_windows "$root/build/wow64" i686
  cmake --build "$root/build/wow64" --target test_machine_views
fi
