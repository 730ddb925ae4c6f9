#!/usr/bin/env bash
# Runs a test command on one of the test machines beside the main one (the build's own programs
# in the 64-bit prefix), or says why this host has none and exits 77, which ctest counts as
# skipped, never as passed:
#   windows32  32-bit Windows: the i686 build in the 32-bit prefix build/wineprefix32, on hosts
#              that run i386 code; KESTRUNE_TEST_WINDOWS=32 tells the test what to expect.
#   wow64      the shipped i686 build (build/wow64) in the 64-bit prefix, on hosts that run 64-bit
#              code only, with i386 Wine under qemu's user emulation.
#   Usage for the whole uninstall by the shipped qxcli there, by hand (qemu 7.2 ends about one in
#   three runs of its threaded analysis or clean-up with "uncaught target signal 11", reported to
#   Wine as exit code 0, so this is no test for ctest):
#     cmake --build build/wow64 --target qxcli
#     tools/test-machine.sh wow64 bash tests/e2e/quillmoss_uninstall.sh build/win32/bin \
#       build/win32/tests/fixtures/stubborn/signatures/REZ.hdb3 build/wow64/bin/qxcli.exe
# A command ending in .exe runs through wine-run.sh.
# Usage: test-machine.sh windows32|wow64 COMMAND [ARGS...]
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/windows-arch.sh"
machine=$1
shift
skip() { echo "skipped: $*"; exit 77; }
case "$machine" in
  windows32)
    [ "$KESTRUNE_HOST_I386" = native ] || skip "32-bit Windows needs a host that runs i386 code; this one runs 64-bit code only"
    [ "$KESTRUNE_WINDOWS_ARCH" = i686 ] || skip "32-bit Windows needs the i686 build; KESTRUNE_WINDOWS_ARCH chose x86_64"
    [ -f "$here/../build/wineprefix32/system.reg" ] || (unset KESTRUNE_WINEPREFIX; bash "$here/wine-prefix.sh") || exit 1
    export KESTRUNE_WINEPREFIX="$here/../build/wineprefix32" KESTRUNE_TEST_WINDOWS=32
    ;;
  wow64)
    [ "$KESTRUNE_HOST_I386" = emulated ] || skip "no qemu for i386 programs on this host (binfmt_misc), so the i686 build cannot run here"
    for program in "$@"; do
      case "$program" in
        *.exe) [ -f "$program" ] || skip "$program is missing (tools/build.sh builds it where qemu runs i386 programs)" ;;
      esac
    done
    ;;
  *)
    echo "test-machine: unknown machine $machine" >&2
    exit 2
    ;;
esac
case "$1" in
  *.exe) exec bash "$here/wine-run.sh" "$@" ;;
  *) exec "$@" ;;
esac
