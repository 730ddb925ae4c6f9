#!/usr/bin/env bash
# Sourced by the set-up, build, test and Wine scripts: which Windows build this host tests, and in
# which Wine prefixes.
#
# The test machine is 64-bit Windows everywhere: a 64-bit Wine prefix (WINEARCH=win64), as nearly
# every user's machine is.
# - A host that runs i386 code tests the shipped 32-bit (i686) build in it, under WoW64 (Debian's
#   wine32:i386 beside wine64), and keeps a small 32-bit prefix for what 32-bit Windows does
#   differently.
# - A host that runs 64-bit code only (its kernel refuses i386 programs) tests the same sources
#   built for x86_64. There i386 Wine runs only under qemu's user emulation (binfmt_misc), about a
#   minute per process: enough for the shipped build's machine views test, not for the whole suite.
# KESTRUNE_WINDOWS_ARCH=i686|x86_64 overrides the choice of build.
#
# Exports KESTRUNE_WINDOWS_ARCH (i686|x86_64), KESTRUNE_HOST_I386 (native|emulated|none),
# WINEARCH=win64 and WINELOADER for the 64-bit prefix; sets kestrune_wine, the 64-bit loader.

# How this host runs i386 Linux programs.
kestrune_host_i386() {
  # binfmt_misc handlers come before the kernel's own loader: with qemu registered for i386, every
  # i386 program runs emulated, whatever the kernel could do itself.
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    [ -f "$entry" ] || continue
    if grep -qs '^interpreter .*qemu-i386' "$entry" && grep -qsx 'enabled' "$entry"; then
      echo emulated
      return
    fi
  done
  local probe
  probe=$(mktemp)
  # The smallest i386 Linux program: exit(0).
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  if "$probe" 2>/dev/null; then echo native; else echo none; fi
  rm -f "$probe"
}

if [ -z "${KESTRUNE_HOST_I386:-}" ]; then
  KESTRUNE_HOST_I386=$(kestrune_host_i386)
fi
export KESTRUNE_HOST_I386
if [ -z "${KESTRUNE_WINDOWS_ARCH:-}" ]; then
  if [ "$KESTRUNE_HOST_I386" = native ]; then KESTRUNE_WINDOWS_ARCH=i686; else KESTRUNE_WINDOWS_ARCH=x86_64; fi
fi
export KESTRUNE_WINDOWS_ARCH
export WINEARCH=win64
# Debian's wine script prefers the 32-bit loader whenever wine32 is installed; the 64-bit one
# starts 32-bit programs through it by itself, and never runs a 64-bit one emulated.
export WINELOADER=/usr/lib/wine/wine64
kestrune_wine=/usr/lib/wine/wine64

# One line on what this host tests, for the head of a test run.
kestrune_windows_summary() {
  if [ "$KESTRUNE_WINDOWS_ARCH" = i686 ]; then
    echo "Windows tests: i686 build in a 64-bit prefix (WoW64)"
  else
    echo "Windows tests: x86_64 build in a 64-bit prefix"
  fi
  case "$KESTRUNE_HOST_I386" in
    native)
      if [ "$KESTRUNE_WINDOWS_ARCH" = i686 ]; then
        echo "32-bit Windows tests: i686 build in a 32-bit prefix"
      else
        echo "32-bit Windows tests: skipped (the x86_64 build was chosen by KESTRUNE_WINDOWS_ARCH)"
      fi ;;
    emulated)
      echo "32-bit Windows tests: skipped (this host runs i386 code only under qemu, too slowly for a prefix of its own)"
      echo "WoW64 check of the shipped build: the i686 machine views test in the 64-bit prefix, i386 Wine under qemu" ;;
    *)
      echo "32-bit Windows tests: skipped (this host runs 64-bit code only)"
      echo "WoW64 check of the shipped build: skipped (no qemu for i386 programs here)" ;;
  esac
}
