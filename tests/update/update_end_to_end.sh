#!/usr/bin/env bash
# The online update end to end under Wine. Update folders are made with the release tool and
# served on 127.0.0.1, then the window test and qxcli update run against them:
#   good      the new database and Kestrune.exe 1.0.1.0, signed with the test key
#   tampered  good, with the database changed after signing
#   short     good, but the server stops after 1000 bytes of the database
#   badsig    good, signed with a key the program does not know
#   current   an update whose only file is not newer than the installed one
#   whatsnew  good, with a what's-new text in rich text format
#   database  the new database alone
#   damaged   a database that cannot be unpacked, signed all the same
#   actions   good, with a message and a question before the downloads
# Usage: update_end_to_end.sh E2E_FOLDER QVRELEASE TEST_KEY OLD_DB NEW_DB
#   E2E_FOLDER holds Kestrune.exe 1.0.0.0 and the window test, new/Kestrune.exe 1.0.1.0 and
#   console/qxcli.exe, all trusting the test key.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root="$here/../.."
e2e=$1 qvrelease=$2 key=$3 old_db=$4 new_db=$5

if [ -z "${KESTRUNE_TEST_HTTP:-}" ]; then
  served=$(mktemp -d)
  trap 'rm -rf "$served"' EXIT
  bash "$here/with_http_server.sh" "$served" -- bash "${BASH_SOURCE[0]}" "$@" "$served"
  exit $?
fi
served=$6
wine_run() { bash "$root/tools/wine-run.sh" "$@"; }
# Wine sees the Unix root as drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# An update folder: the files and a control file naming them at this server, signed.
make_folder() {  # NAME FILES-SECTION
  local folder="$served/$1/QV"
  mkdir -p "$folder"
  cp "$new_db" "$folder/REZ.hdb3"
  cp "$e2e/new/Kestrune.exe" "$folder/Kestrune.exe"
  printf '%s\r\n' \
    "[application]" "appupdate=1" "appname=Kestrune.exe" "appcomps=Kestrune.exe" "silentrestart=1" \
    "[update]" "descr=Kestrune 1.0.1.0" "newversion=1.0.1.0" 'localversion={APP}\Kestrune.exe' \
    "$2" | iconv -f UTF-8 -t GBK >"$folder/qv_update.INF"  # the program reads code page 936
  "$qvrelease" sign "$folder" --key "$key" >/dev/null
}
two_files() {  # DATABASE-URL PROGRAM-URL
  printf '%s\r\n' "[files]" "count=2" \
    "[file1]" "url=$1" "descr=特征库" 'targetdir={APP}' \
    "[file2]" "url=$2" "descr=主程序" "newversion=1.0.1.0" 'localversion={APP}\Kestrune.exe' 'targetdir={APP}'
}
base=$KESTRUNE_TEST_HTTP
make_folder good "$(two_files "$base/good/QV/REZ.hdb3" "$base/good/QV/Kestrune.exe")"
make_folder tampered "$(two_files "$base/tampered/QV/REZ.hdb3" "$base/tampered/QV/Kestrune.exe")"
# One byte changed, the length kept: only the hash can tell.
printf 'X' | dd of="$served/tampered/QV/REZ.hdb3" bs=1 seek=100 conv=notrunc status=none
make_folder short "$(two_files "$base/cut/1000/short/QV/REZ.hdb3" "$base/short/QV/Kestrune.exe")"
make_folder badsig "$(two_files "$base/badsig/QV/REZ.hdb3" "$base/badsig/QV/Kestrune.exe")"
other_key="$served/other_key.pem"
openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$other_key" 2>/dev/null
"$qvrelease" sign "$served/badsig/QV" --key "$other_key" >/dev/null
make_folder whatsnew "$(printf '%s\r\n' "[whatsnew]" "file=$base/whatsnew/QV/qv_update_new.txt" "caption=更新说明")
$(two_files "$base/whatsnew/QV/REZ.hdb3" "$base/whatsnew/QV/Kestrune.exe")"
printf '%s' '{\rtf1\ansi 1.0.1.0: new catalogue}' >"$served/whatsnew/QV/qv_update_new.txt"
database_only() {  # NAME: an update of the database alone, without the program's [application]
  mkdir -p "$served/$1/QV"
  cp "$2" "$served/$1/QV/REZ.hdb3"
  printf '%s\r\n' "[update]" "unconditional=1" "[files]" "count=1" \
    "[file1]" "url=$base/$1/QV/REZ.hdb3" "descr=特征库" 'targetdir={APP}' |
    iconv -f UTF-8 -t GBK >"$served/$1/QV/qv_update.INF"
  "$qvrelease" sign "$served/$1/QV" --key "$key" >/dev/null
}
database_only database "$new_db"
head -c 3000 /dev/urandom >"$served/damaged.hdb3"
database_only damaged "$served/damaged.hdb3"
make_folder actions "$(printf '%s\r\n' "[action]" 'msg=第一行\n第二行' "query=现在升级吗?")
$(two_files "$base/actions/QV/REZ.hdb3" "$base/actions/QV/Kestrune.exe")"
make_folder current "$(printf '%s\r\n' "[files]" "count=1" "[file1]" "url=$base/current/QV/Kestrune.exe" \
  "descr=主程序" "newversion=1.0.0.0" 'localversion={APP}\Kestrune.exe' 'targetdir={APP}')"

export KESTRUNE_UPDATE_OLD_DB KESTRUNE_UPDATE_NEW_DB KESTRUNE_UPDATE_NEW_EXE
KESTRUNE_UPDATE_OLD_DB=$(windows_path "$old_db")
KESTRUNE_UPDATE_NEW_DB=$(windows_path "$new_db")
KESTRUNE_UPDATE_NEW_EXE=$(windows_path "$e2e/new/Kestrune.exe")

status=0
# Programs the test starts inherit Wine's standard error: keep it off ctest's pipe.
wine_run "$e2e/test_update_window.exe" 2>/dev/null || status=1

# qxcli update in an installation of its own: the database is replaced, the program is left to
# the window, and every failure leaves the database as it was.
prefix_drive="${KESTRUNE_WINEPREFIX:-$root/build/wineprefix}/drive_c"
install="$prefix_drive/kestrune-qxcli-update"
fail() { echo "FAIL: $*"; status=1; }
run_qxcli() {  # FOLDER [--yes]: prints qxcli's output, sets code
  rm -rf "$install" && mkdir -p "$install"
  cp "$e2e/console/qxcli.exe" "$old_db" "$install/"
  cp "$e2e/Kestrune.exe" "$install/Kestrune.exe"
  code=0
  output=$(wine_run 'C:\kestrune-qxcli-update\qxcli.exe' --utf8 update --url "$base/$1/QV/qv_update.INF" "${@:2}" 2>&1) || code=$?
}
expect() {  # CASE EXPECTED-CODE EXPECTED-DATABASE PATTERN...
  local name=$1 want=$2 database=$3
  shift 3
  [ "$code" = "$want" ] || fail "$name: exit code $code, expected $want"$'\n'"$output"
  cmp -s "$install/REZ.hdb3" "$database" || fail "$name: the database is not the expected one"
  cmp -s "$install/Kestrune.exe" "$e2e/Kestrune.exe" || fail "$name: the program changed"
  for pattern in "$@"; do
    grep -q -- "$pattern" <<<"$output" || fail "$name: no line matching '$pattern' in"$'\n'"$output"
  done
}
run_qxcli good --yes
expect "qxcli good" 0 "$new_db" "^placed: .*REZ.hdb3" "^program component left to the window: Kestrune.exe"
run_qxcli good
expect "qxcli good without --yes" 0 "$old_db" "^question: Download update files ? -> no" "^declined"
run_qxcli tampered --yes
expect "qxcli tampered" 4 "$old_db" "^failed: REZ.hdb3: .*SHA-256"
run_qxcli short --yes
expect "qxcli short" 4 "$old_db" "^failed: REZ.hdb3: .*1000"
run_qxcli badsig --yes
expect "qxcli badsig" 4 "$old_db" "^Invalid signature in update control file" "^stopped: "
run_qxcli damaged --yes
expect "qxcli damaged database" 4 "$old_db" "^failed: REZ.hdb3: "
run_qxcli actions
expect "qxcli actions without --yes" 0 "$old_db" "^message: 第一行" "^第二行" "^question: 现在升级吗? -> no" "^declined"
run_qxcli database --yes
expect "qxcli database" 0 "$new_db" "^placed: .*REZ.hdb3" "^database replaced: "
run_qxcli current --yes
expect "qxcli current" 0 "$old_db" "^no update"
rm -rf "$install"
[ "$status" -eq 0 ] && echo "update end to end: passed"
exit "$status"
