#!/usr/bin/env bash
# Creates the throwaway Wine prefixes inside the build folder, once: the 64-bit test machine
# (build/wineprefix, or KESTRUNE_WINEPREFIX), and where the host runs i386 code the small 32-bit
# one (build/wineprefix32).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/windows-arch.sh"
export WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"

# make_prefix FOLDER win64|win32
make_prefix() {
  local folder=$1 arch=$2 loader=/usr/lib/wine/wine64
  [ "$arch" = win32 ] && loader=/usr/lib/wine/wine
  if [ ! -f "$folder/system.reg" ] || [ "$(cat "$folder/.kestrune-ready" 2>/dev/null)" != "$arch" ]; then
    rm -rf "$folder"
    mkdir -p "$(dirname "$folder")"
    WINEPREFIX="$folder" WINEARCH="$arch" WINELOADER="$loader" "$loader" wineboot -i >/dev/null 2>&1 || true
    WINEPREFIX="$folder" wineserver -w
    [ -f "$folder/system.reg" ] || { echo "wine-prefix: wineboot did not create $folder" >&2; exit 1; }
    echo "$arch" >"$folder/.kestrune-ready"
  fi
  # Wine links the profile folders (Desktop, Documents ...) to the Linux home. Tests write
  # shortcuts there and clean them up, so each becomes a real folder inside the prefix, as on
  # Windows, and nothing reaches the home folder.
  local link
  for link in "$folder"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
      rm -f "$link"
      mkdir -p "$link"
    fi
  done
}

if [ -n "${KESTRUNE_WINEPREFIX:-}" ]; then
  make_prefix "$KESTRUNE_WINEPREFIX" win64  # a prefix of a caller's own (a benchmark's)
  exit 0
fi
make_prefix "$here/../build/wineprefix" win64
if [ "$KESTRUNE_HOST_I386" = native ] && [ "$KESTRUNE_WINDOWS_ARCH" = i686 ]; then
  make_prefix "$here/../build/wineprefix32" win32
fi
