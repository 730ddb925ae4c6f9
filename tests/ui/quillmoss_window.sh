#!/usr/bin/env bash
# The whole uninstall of Quillmoss through the window: installs the stubborn fixture, runs the
# window test (which drives Kestrune.exe, reads the machine back, has the fixture's own check
# confirm that Quillmoss is gone and its neighbour untouched, and undoes the clean-up), and
# removes the fixture.
# Run it under an X display (tools/with-display.sh).
# Usage: quillmoss_window.sh BIN_FOLDER TEST_PROGRAM SIGNATURE_PACKAGE
set -u
bin=$1
test_program=$2
package=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root="$here/../.."
fixture() { bash "$root/tests/fixtures/stubborn/run_fixture.sh" "$bin/stubborn_fixture.exe" "$@"; }
# Wine sees the Unix root as drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

trap 'fixture remove >/dev/null' EXIT
fixture install verify-installed || exit 1
# Programs the test starts inherit Wine's standard error: keep it off ctest's pipe.
wine_log=$(mktemp)
KESTRUNE_QUILLMOSS_PACKAGE=$(windows_path "$package") \
KESTRUNE_EXPECTED_FOLDER=$(windows_path "$root/tests/e2e") \
  bash "$root/tools/wine-run.sh" "$test_program" 2>"$wine_log"
status=$?
rm -f "$wine_log"
exit "$status"
