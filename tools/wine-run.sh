#!/usr/bin/env bash
# Runs a Windows program under Wine in one of the project's prefixes (KESTRUNE_WINEPREFIX, by
# default the 64-bit build/wineprefix), in the Chinese locale (ANSI code page 936). Used as
# ctest's emulator and by the run and test scripts.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINEPREFIX="${KESTRUNE_WINEPREFIX:-$here/../build/wineprefix}"
source "$here/windows-arch.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-run: no Wine prefix at $WINEPREFIX (run tools/wine-prefix.sh)" >&2
  exit 125
fi
# The 32-bit prefix runs under the 32-bit loader; the 64-bit one under the 64-bit loader, which
# hands 32-bit programs to the other itself.
if [ "$(cat "$WINEPREFIX/.kestrune-ready" 2>/dev/null)" = win32 ]; then
  export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine
  kestrune_wine=/usr/lib/wine/wine
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export LC_ALL=zh_CN.UTF-8
# winemenubuilder would copy every shortcut the tests write into the Linux desktop menus.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=;winemenubuilder.exe=d}"
exec "$kestrune_wine" "$@"
