#!/usr/bin/env bash
# Sourced by the set-up, build and Wine scripts: which Windows build this host can test.
# Kestrune ships as a 32-bit (i686) program and is tested under 32-bit Wine. Some hosts run
# 64-bit user code only (their kernel refuses i386 programs, so 32-bit Wine cannot start); there
# the same sources are built for x86_64 and tested under 64-bit Wine instead.
# KESTRUNE_WINDOWS_ARCH=i686|x86_64 overrides the check.
if [ -z "${KESTRUNE_WINDOWS_ARCH:-}" ]; then
  probe=$(mktemp)
  # The smallest i386 Linux program: exit(0).
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  if "$probe" 2>/dev/null; then KESTRUNE_WINDOWS_ARCH=i686; else KESTRUNE_WINDOWS_ARCH=x86_64; fi
  rm -f "$probe"
fi
export KESTRUNE_WINDOWS_ARCH
if [ "$KESTRUNE_WINDOWS_ARCH" = i686 ]; then
  export WINEARCH=win32
  kestrune_wine=wine
else
  export WINEARCH=win64
  # Debian's wine script prefers the 32-bit loader whenever wine32 is installed.
  export WINELOADER=/usr/lib/wine/wine64
  kestrune_wine=/usr/lib/wine/wine64
fi
