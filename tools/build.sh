#!/usr/bin/env bash
# Configures and builds both builds: the native portable core with hdbtool (build/native) and
# the 32-bit Windows programs (build/win32). The native build's ctest also runs the Windows tests.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The Windows build runs hdbtool.exe under Wine to make its signature package.
bash "$root/tools/wine-prefix.sh"
cmake -S "$root" -B "$root/build/win32" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake -S "$root" -B "$root/build/native" -G Ninja -DKESTRUNE_WIN32_BUILD_DIR="$root/build/win32" >/dev/null
cmake --build "$root/build/native"
cmake --build "$root/build/win32"
