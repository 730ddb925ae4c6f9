#!/usr/bin/env bash
# The whole-analysis benchmark in one command: builds it optimised (no sanitizers) in a build
# folder of its own, makes a Wine prefix of its own (never the tests' prefix: the set-up writes a
# machine's worth of folders, keys and a service to C:), sets that machine up once (a marker in
# C:\KestruneBench keeps it) and runs the benchmark on an X display (a private Xvfb when none).
#
#   bash bench/whole_analysis.sh [--rounds N] [--setup-only] [--traces]
#
# KESTRUNE_BENCH_BUILD  the build folder (default build/bench-whole)
# KESTRUNE_WINEPREFIX   the Wine prefix (default: wineprefix inside the build folder)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${KESTRUNE_BENCH_BUILD:-$root/build/bench-whole}"
export KESTRUNE_WINEPREFIX="${KESTRUNE_WINEPREFIX:-$build/wineprefix}"
if [ "$(realpath -m "$KESTRUNE_WINEPREFIX")" = "$(realpath -m "$root/build/wineprefix")" ]; then
  echo "whole_analysis.sh: $KESTRUNE_WINEPREFIX is the tests' prefix; give the benchmark one of its own" >&2
  exit 2
fi
source "$root/tools/windows-arch.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$KESTRUNE_WINDOWS_ARCH.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_NATIVE_TOOLS_DIR="$root/build/native/bin" >/dev/null
cmake --build "$build" --target bench_whole_analysis hdbtool
bash "$root/tools/wine-prefix.sh"
exec bash "$root/tools/with-display.sh" bash "$root/tools/wine-run.sh" "$build/bin/bench_whole_analysis.exe" "$@"
