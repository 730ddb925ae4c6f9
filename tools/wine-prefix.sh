#!/usr/bin/env bash
# Creates the throwaway Wine prefix inside the build folder, once: 32-bit, or 64-bit on hosts
# that run 64-bit code only.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX="${KESTRUNE_WINEPREFIX:-$here/../build/wineprefix}"
source "$here/windows-arch.sh"
export WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ] || [ "$(cat "$WINEPREFIX/.kestrune-ready" 2>/dev/null)" != "$WINEARCH" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  "$kestrune_wine" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-prefix: wineboot did not create $WINEPREFIX" >&2; exit 1; }
  echo "$WINEARCH" >"$WINEPREFIX/.kestrune-ready"
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
