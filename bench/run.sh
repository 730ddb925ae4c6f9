#!/usr/bin/env bash
# Builds the benchmarks optimised and without sanitizers, then runs them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cmake -S "$root" -B "$root/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRUNE_SANITIZE=OFF >/dev/null
cmake --build "$root/build/bench" --target bench_database >/dev/null
"$root/build/bench/bin/bench_database" "$@"
