#!/usr/bin/env bash
# Sets up the machine, builds everything and starts Kestrune.exe under Wine. Without a display
# it runs on a private Xvfb, saves a screenshot of the window to build/kestrune.png and ends it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/tools/setup.sh"
bash "$root/tools/build.sh" >/dev/null
exe="$root/build/win32/bin/Kestrune.exe"
if [ -n "${DISPLAY:-}" ]; then
  exec bash "$root/tools/wine-run.sh" "$exe"
fi
shot="$root/build/kestrune.png"
bash "$root/tools/with-display.sh" bash -c '
  bash "$1/tools/wine-run.sh" "$2" >/dev/null 2>&1 &
  sleep 12
  import -window root "$3"
  WINEPREFIX="$1/build/wineprefix" wineserver -k
' run "$root" "$exe" "$shot"
echo "No display: Kestrune ran on a private Xvfb; its window is in $shot"
