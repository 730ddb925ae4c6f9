#!/usr/bin/env bash
# Sets up the machine, builds everything and shows the shipped signature catalogue: every
# program of every software type in REZ.hdb3, as the program's catalogue lists them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/tools/setup.sh"
bash "$root/tools/build.sh" >/dev/null
"$root/build/native/bin/hdbtool" dump "$root/build/native/bin/REZ.hdb3" SID_MW_LI.hdb SID_SW_LI.hdb SID_NM_LI.hdb
