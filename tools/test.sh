#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test (native, and Windows under Wine).
# The first line and the lines before the tests say which build and prefixes this host tests.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Asked in a subshell each time: the set-up may register qemu for i386 programs in between.
summary() { (source "$root/tools/windows-arch.sh" && kestrune_windows_summary); }
summary | sed -n 1p
bash "$root/tools/setup.sh"
bash "$root/tools/build.sh"
summary
bash "$root/tools/with-display.sh" ctest --test-dir "$root/build/native" --output-on-failure -j2
