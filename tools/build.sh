#!/usr/bin/env bash
# Configures and builds the three builds: the native portable core with hdbtool (build/native),
# the fuzz targets of the database parsers (build/fuzz) and the 32-bit Windows programs
# (build/win32). The native build's ctest also runs the Windows and the fuzz tests.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The Windows build runs hdbtool.exe under Wine to make its signature package.
bash "$root/tools/wine-prefix.sh"
source "$root/tools/windows-arch.sh"
# The Windows build's folder keeps its name for both architectures; a change of host kind
# starts it afresh.
toolchain="$root/cmake/mingw-$KESTRUNE_WINDOWS_ARCH.cmake"
if ! grep -qs "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain\$" "$root/build/win32/CMakeCache.txt"; then
  rm -rf "$root/build/win32"
fi
# The update's end-to-end test runs the native release tool.
cmake -S "$root" -B "$root/build/win32" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DKESTRUNE_NATIVE_TOOLS_DIR="$root/build/native/bin" >/dev/null
# The fuzz build (clang with libFuzzer) fuzzes the database parsers; the native build's ctest runs it.
cmake -S "$root" -B "$root/build/fuzz" -G Ninja -DKESTRUNE_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake -S "$root" -B "$root/build/native" -G Ninja -DKESTRUNE_WIN32_BUILD_DIR="$root/build/win32" \
  -DKESTRUNE_FUZZ_BUILD_DIR="$root/build/fuzz" >/dev/null
cmake --build "$root/build/native"
cmake --build "$root/build/fuzz"
cmake --build "$root/build/win32"
