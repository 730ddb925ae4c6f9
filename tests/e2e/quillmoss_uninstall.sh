#!/usr/bin/env bash
# End to end, as a user of qxcli meets it: install the stubborn Quillmoss and its look-alike
# neighbour into the Wine prefix, list, propose paths, analyse (every expected trace and nothing
# else, its services included), clean, and check that every Quillmoss trace is gone while the
# neighbour's stay. QXCLI is another build's qxcli.exe to drive instead of BIN_FOLDER's (the
# shipped i686 one, where the tests' own build is x86_64).
# Usage: quillmoss_uninstall.sh BIN_FOLDER SIGNATURE_PACKAGE [QXCLI]
set -u
bin=$1
package=$2
qxcli_program=${3:-$bin/qxcli.exe}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root="$here/../.."
fixture() { bash "$root/tests/fixtures/stubborn/run_fixture.sh" "$bin/stubborn_fixture.exe" "$@"; }
qxcli() { bash "$root/tools/wine-run.sh" "$qxcli_program" --db "Z:$package" --utf8 "$@" 2>>"$log"; }

log=$(mktemp)
work=$(mktemp -d)
failures=0
check() {  # check NAME EXPECTED-FILE ACTUAL-FILE
  if diff -u "$2" "$3" >"$work/diff"; then
    echo "ok: $1"
  else
    echo "FAILED: $1"
    cat "$work/diff"
    failures=$((failures + 1))
  fi
}
finish() {
  fixture remove >/dev/null
  if [ "$failures" -ne 0 ]; then echo "--- qxcli's standard error:"; cat "$log"; fi
  rm -rf "$work" "$log"
  echo "$((8 - failures)) passed, $failures failed"
  exit $((failures == 0 ? 0 : 1))
}
trap finish EXIT

fixture install verify-installed || { failures=8; exit; }

# The profile folder carries the Linux user's name: reports are compared with it written <PROFILE>.
profile_pattern='C:\\[Uu]sers\\[^\\]*\\'
normalise() { sed -e "s/$profile_pattern/<PROFILE>\\\\/" | tr -d '\r' | LC_ALL=C sort; }

qxcli list SW | tr -d '\r' >"$work/list"
printf '0\tSWQUILLMOSS|Quillmoss 图片助手|Photo Tools|2.3.0|5.1|6.1|32位\n' >"$work/list.expected"
check "list shows the catalogue" "$work/list.expected" "$work/list"

qxcli paths SW key=SWQUILLMOSS | tr -d '\r' >"$work/paths"
# Windows Installer's registration first, then the uninstall key's.
printf 'C:\\Program Files\\Quillmoss\\\nC:\\Program Files\\Quillmoss\n' >"$work/paths.expected"
check "paths proposes both registrations' folders" "$work/paths.expected" "$work/paths"

qxcli paths SW 0 | tr -d '\r' >"$work/paths-by-row"
check "a row number names the same program" "$work/paths.expected" "$work/paths-by-row"

qxcli analyze SW key=SWQUILLMOSS | normalise >"$work/analysis"
normalise <"$here/quillmoss_analysis.txt" >"$work/analysis.expected"
check "analysis finds every trace and nothing else" "$work/analysis.expected" "$work/analysis"

qxcli clean SW key=SWQUILLMOSS | normalise >"$work/clean"
clean_status=${PIPESTATUS[0]}
normalise <"$here/quillmoss_clean.txt" >"$work/clean.expected"
check "clean-up removes every item and says so" "$work/clean.expected" "$work/clean"
# Services and driver file included, everything went: the clean-up is complete.
echo 0 >"$work/status.expected"
echo "$clean_status" >"$work/status"
check "a complete clean-up exits 0" "$work/status.expected" "$work/status"

fixture verify-cleaned >"$work/verify" 2>&1
status=$?
: >"$work/empty"
[ "$status" -eq 0 ] || cat "$work/verify" >"$work/verify-failed"
touch "$work/verify-failed"
check "Quillmoss is gone, its process ended, the neighbour untouched" "$work/empty" "$work/verify-failed"

qxcli analyze SW key=SWQUILLMOSS | normalise >"$work/after"
normalise <"$here/quillmoss_after_clean.txt" >"$work/after.expected"
check "a second analysis finds nothing" "$work/after.expected" "$work/after"
