#!/usr/bin/env bash
# Creates the throwaway 32-bit Wine prefix inside the build folder, once.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX="${KESTRUNE_WINEPREFIX:-$here/../build/wineprefix}"
export WINEARCH=win32 WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -f "$WINEPREFIX/.kestrune-ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-prefix: wineboot did not create $WINEPREFIX" >&2; exit 1; }
  touch "$WINEPREFIX/.kestrune-ready"
fi

# Wine links the profile folders (Desktop, Documents ...) to the Linux home. Tests write
# shortcuts there and clean them up, so each becomes a real folder inside the prefix, as on
# Windows, and nothing reaches the home folder.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm -f "$link"
    mkdir -p "$link"
  fi
done
