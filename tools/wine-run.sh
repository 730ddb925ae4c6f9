#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (32-bit, or 64-bit on hosts that
# run 64-bit code only), in the Chinese locale (ANSI code page 936). Used as ctest's emulator
# and by the run script.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX="${KESTRUNE_WINEPREFIX:-$here/../build/wineprefix}"
source "$here/windows-arch.sh"
export WINEDEBUG="${WINEDEBUG:--all}"
export LC_ALL=zh_CN.UTF-8
# winemenubuilder would copy every shortcut the tests write into the Linux desktop menus.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=;winemenubuilder.exe=d}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-run: no Wine prefix at $WINEPREFIX (run tools/wine-prefix.sh)" >&2
  exit 125
fi
exec "$kestrune_wine" "$@"
