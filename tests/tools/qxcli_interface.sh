#!/usr/bin/env bash
# qxcli's interface: filters, program names, output code page, and the exit code and message of
# every kind of bad input (2 for usage, 3 for a database that cannot be read).
# Usage: qxcli_interface.sh BIN_FOLDER
set -u
bin=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

# expect NAME EXIT-CODE PATTERN -- ARGS...: runs qxcli, checks the exit code and that stdout and
# stderr together hold the pattern (grep -E, UTF-8).
expect() {
  local name=$1 code=$2 pattern=$3
  shift 4
  bash "$here/../../tools/wine-run.sh" "$bin/qxcli.exe" "$@" >"$work/out" 2>&1
  local status=$?
  tr -d '\r' <"$work/out" >"$work/text"
  if [ "$status" -eq "$code" ] && grep -qE -- "$pattern" "$work/text"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name: exit $status (expected $code), output:"
    cat "$work/text"
  fi
}
# Lines of a listing, without the row numbers' tabs counted: "count NAME N -- ARGS".
count() {
  local name=$1 lines=$2
  shift 3
  local got
  got=$(bash "$here/../../tools/wine-run.sh" "$bin/qxcli.exe" "$@" 2>/dev/null | grep -c .)
  if [ "$got" -eq "$lines" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name: $got lines, expected $lines"; fi
}

expect "no command" 2 "no command given" --
expect "unknown command" 2 "unknown command remove" -- remove SW 0
expect "type codes are exact" 2 "unknown software type sw" -- list sw
expect "unknown sub-type" 2 "unknown sub-type Games" -- list SW Games
expect "unknown OS" 2 "unknown OS 10.0" -- list SW All 10.0
expect "program missing" 2 "needs TYPE and PROGRAM" -- paths SW
expect "row out of range" 2 "no program 99 in the SW catalogue" -- analyze SW 99
expect "row not a number" 2 "no program -1" -- paths SW -1
expect "unknown key" 2 "no program key=SW-NOBODY" -- paths SW key=SW-NOBODY
expect "dry run only with clean or restore" 2 "dry-run goes with clean or restore only" -- analyze SW 0 --dry-run
expect "no dry run for backups" 2 "dry-run goes with clean or restore only" -- backups --dry-run
expect "no dry run for update" 2 "dry-run goes with clean or restore only" -- update --dry-run
expect "backups takes no arguments" 2 "backups takes no arguments" -- backups SW
expect "restore needs an ID" 2 "restore needs one backup ID" -- restore
expect "restore takes one ID" 2 "restore needs one backup ID" -- restore a b
expect "no package for restore" 2 "--db does not go with it" -- --db x.hdb3 restore a
expect "no package for backups" 2 "--db does not go with it" -- --db x.hdb3 backups
expect "unknown backup" 2 "no backup 1999-01-01 00-00-00 nobody in" -- restore "1999-01-01 00-00-00 nobody"
expect "backup ID leading out" 2 "is not a backup ID" -- restore '..\Backups'
expect "backup ID with a drive" 2 "is not a backup ID" -- restore 'C:x'
expect "unknown option" 2 "unknown option --force" -- --force list SW
expect "missing package" 3 "数据库释放错误" -- --utf8 --db "Z:$work/absent.hdb3" list SW

printf 'garbage' >"$work/garbage.hdb3"
expect "damaged package" 3 "Stream read error" -- --utf8 --db "Z:$work/garbage.hdb3" list SW
head -c 200 "$bin/REZ.hdb3" >"$work/truncated.hdb3"
expect "truncated package" 3 "Stream read error" -- --utf8 --db "Z:$work/truncated.hdb3" list SW
# An entry named ..\x.hdb: refused, nothing written beside the working folder.
printf '\x00\x08..\\x.hdb\x01\x00\x00\x00\x01\x00\x00\x00\x78' >"$work/escape.hdb3"
expect "entry escaping the working folder" 3 "Unsafe package entry name" -- --utf8 --db "Z:$work/escape.hdb3" list SW
: >"$work/empty.hdb3"
expect "empty package" 3 "The package holds no database files" -- --utf8 --db "Z:$work/empty.hdb3" list SW

expect "catalogue rows" 0 $'^0\tSW-CHENGMING\\|' -- --utf8 list SW
count "sub-type filter" 1 -- --utf8 list SW "Video Players"
count "Windows XP filter" 4 -- --utf8 list NM All 5.1
count "Windows 7 filter" 4 -- --utf8 list NM All "|6.1|"
count "program by key, not installed here" 0 -- --utf8 paths SW key=SW-XINGLAN

# Without --utf8 the output is code page 936 bytes.
bash "$here/../../tools/wine-run.sh" "$bin/qxcli.exe" list SW "Video Players" 2>/dev/null | tr -d '\r' >"$work/cp936"
printf '0\tSW-XINGLAN|星澜影音|Video Players|4.5.1.2210|6.1|-|32位\n' | iconv -f UTF-8 -t CP936 >"$work/cp936.expected"
if cmp -s "$work/cp936" "$work/cp936.expected"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: code page 936 output"; fi

# A backup planted in the prefix's backups folder: listed, rehearsed, restored, then left alone.
restore_checks() {
  local backups=$1 restored=$2 id="2000-01-01 00-00-00 qxcli 测试"
  # The paths are fixed now: the trap runs after this function's variables are gone.
  trap "rm -rf $(printf '%q ' "$work" "$backups/$id" "$restored")" EXIT
  rm -rf "$restored"
  mkdir -p "$backups/$id"
  printf 'saved bytes' >"$backups/$id/0001.file"
  printf 'file\tdefault\t0001.file\t清理核心文件: C:\\kestrune-qxcli-restore\\说明.txt\tC:\\kestrune-qxcli-restore\\说明.txt\r\n' |
    iconv -f UTF-8 -t CP936 >"$backups/$id/manifest.txt"
  expect "backups listed" 0 $'^2000-01-01 00-00-00 qxcli 测试\t1\tqxcli 测试$' -- --utf8 backups
  expect "restore rehearsed" 0 '^将恢复: C:.kestrune-qxcli-restore.说明\.txt$' -- --utf8 restore "$id" --dry-run
  if [ -e "$restored" ]; then failed=$((failed + 1)); echo "FAILED: the dry run wrote $restored"; fi
  expect "restored" 0 '^恢复完成: 已恢复 1 项, 未恢复 0 项$' -- --utf8 restore "$id"
  if [ "$(cat "$restored/说明.txt" 2>/dev/null)" = "saved bytes" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: restored file"; fi
  expect "restored again" 4 '^已存在, 未覆盖: C:.kestrune-qxcli-restore.说明\.txt$' -- --utf8 restore "$id"
}
backups=$(bash "$here/../../tools/wine-run.sh" winepath -u 'C:\ProgramData\Kestrune\Backups' 2>/dev/null)
restored=$(bash "$here/../../tools/wine-run.sh" winepath -u 'C:\kestrune-qxcli-restore' 2>/dev/null)
if [ -n "$backups" ] && [ -n "$restored" ]; then
  restore_checks "$backups" "$restored"
else
  failed=$((failed + 1))
  echo "FAILED: winepath found no C: drive in the prefix"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
