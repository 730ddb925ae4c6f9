#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test (native, and Windows under Wine).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/tools/setup.sh"
source "$root/tools/windows-arch.sh"
kestrune_windows_summary
bash "$root/tools/build.sh"
kestrune_windows_summary
bash "$root/tools/with-display.sh" ctest --test-dir "$root/build/native" --output-on-failure -j2
