#!/usr/bin/env bash
# End to end, the clean-up that can be undone and that finishes the job: with Quillmoss installed
# and one of its files held open by another program, a clean-up through qxcli stops and deletes
# its services, schedules what is in use for the restart, and keeps a copy of everything; an
# analysis then shows the held items as pending; Wine's restart (wineboot -r) removes them; and
# "qxcli restore" brings back every file (content and attributes), key and value byte for byte,
# except an item that exists again, which it reports and leaves. KESTRUNE_TEST_WINDOWS=32 says the
# prefix is 32-bit Windows, where the fixture has no 32-bit half.
# Usage: quillmoss_recovery.sh BIN_FOLDER SIGNATURE_PACKAGE
set -u
bin=$1
package=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root="$here/../.."
wine_run() { bash "$root/tools/wine-run.sh" "$@"; }
fixture() { bash "$root/tests/fixtures/stubborn/run_fixture.sh" "$bin/stubborn_fixture.exe" "$@"; }
qxcli() { wine_run "$bin/qxcli.exe" --utf8 "$@" 2>>"$log"; }
prefix="${KESTRUNE_WINEPREFIX:-$root/build/wineprefix}"
program_folder='C:\Program Files\Quillmoss'
held_file="$program_folder\\qmcore.dat"

log=$(mktemp)
work=$(mktemp -d)
failures=0
checks=0
pass() { echo "ok: $1"; checks=$((checks + 1)); }
fail() { echo "FAILED: $1"; [ $# -gt 1 ] && cat "$2"; failures=$((failures + 1)); checks=$((checks + 1)); }
expect_status() {  # NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then pass "$1"; else echo "exit status $3, expected $2" >"$work/status"; fail "$1" "$work/status"; fi
}
expect_lines() {  # NAME FILE LINE... : every line is in the file
  local name=$1 file=$2 missing=""
  shift 2
  for line in "$@"; do grep -qxF -- "$line" "$file" || missing+="missing: $line"$'\n'; done
  if [ -z "$missing" ]; then pass "$name"; else printf '%s--- got:\n' "$missing" >"$work/missing"; cat "$file" >>"$work/missing"; fail "$name" "$work/missing"; fi
}
finish() {
  wine_run taskkill /f /im kestrune_sleeper.exe >/dev/null 2>&1
  fixture remove >/dev/null
  if [ "$failures" -ne 0 ]; then echo "--- qxcli's standard error:"; cat "$log"; fi
  rm -rf "$work" "$log"
  echo "$((checks - failures)) passed, $failures failed"
  exit $((failures == 0 ? 0 : 1))
}
trap finish EXIT

fixture install verify-installed || { failures=1; exit; }

# What Quillmoss left, as the registry editor and the file system show it, before the clean-up.
keys=(
  'HKLM\SOFTWARE\Classes\CLSID\{90D6CC0C-2788-4489-B67E-9C773186885E}'
  'HKLM\SOFTWARE\Classes\CLSID\{B9D55779-6DCE-4D74-B025-6C7B7B2A0294}'
  'HKLM\SOFTWARE\Classes\AppID\{5ABBA558-1A16-4309-A508-5800B70BA7AE}'
  'HKLM\SOFTWARE\Classes\TypeLib\{98FCE240-8057-41AE-9927-01233C531121}'
  'HKLM\SOFTWARE\Classes\Interface\{18380400-0F04-4196-B35A-F3AD000D345E}'
  'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quillmoss'
  'HKLM\SOFTWARE\Classes\Quillmoss.Shell.1'
  'HKCU\Software\Quillmoss'
  'HKLM\SYSTEM\CurrentControlSet\Services\QuillmossUpdate'
  'HKLM\SYSTEM\CurrentControlSet\Services\qmfilter'
)
# 64-bit Windows has the 32-bit half too: its keys, as the 64-bit view names them, and its folder.
file_parts=(files)
if [ "${KESTRUNE_TEST_WINDOWS:-64}" != 32 ]; then
  keys+=(
    'HKLM\SOFTWARE\Wow6432Node\Quillmoss'
    'HKLM\SOFTWARE\Classes\Wow6432Node\CLSID\{90D6CC0C-2788-4489-B67E-9C773186885E}'
  )
  file_parts+=(files-x86)
fi
values=(
  'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved|{90D6CC0C-2788-4489-B67E-9C773186885E}'
  'HKLM\SOFTWARE\Microsoft\Internet Explorer\Toolbar|{90D6CC0C-2788-4489-B67E-9C773186885E}'
)
snapshot() {  # FOLDER: every key exported, every value queried, the program folder's files and attributes
  mkdir -p "$1"
  local i=0
  for key in "${keys[@]}"; do
    wine_run reg export "$key" "Z:$1/key$i.reg" /y >/dev/null 2>&1 || echo "no key $key" >"$1/key$i.reg"
    i=$((i + 1))
  done
  for value in "${values[@]}"; do
    wine_run reg query "${value%%|*}" /v "${value#*|}" 2>/dev/null | tr -d '\r' >>"$1/values.txt"
  done
  cp -r "$prefix/drive_c/Program Files/Quillmoss" "$1/files"
  [ "${#file_parts[@]}" -eq 1 ] || cp -r "$prefix/drive_c/Program Files (x86)/Quillmoss" "$1/files-x86"
  wine_run cmd /c attrib /s "$program_folder\\*" 2>/dev/null | tr -d '\r' | sort >"$1/attributes.txt"
}
# A hidden, read-only file must come back hidden and read-only.
wine_run cmd /c attrib +h +r "$program_folder\\uninst.exe" >/dev/null 2>&1
snapshot "$work/before"

# Another program holds the core file open: it cannot go now.
wine_run "$bin/kestrune_sleeper.exe" 600000 "$held_file" >/dev/null 2>&1 &
sleep 3

qxcli --db "Z:$package" clean SW key=SWQUILLMOSS | tr -d '\r' >"$work/clean"
expect_status "a clean-up that a restart completes exits 5" 5 "${PIPESTATUS[0]}"
expect_lines "the held file and its folder wait for the restart; the services are stopped and deleted" "$work/clean" \
  "重启后删除: $held_file" \
  "重启后删除: $program_folder" \
  "清理系统服务: QuillmossUpdate (\"$program_folder\\qmupdate.exe\")" \
  "清理系统服务: qmfilter (System32\\drivers\\qmfilter.sys)" \
  "清理驱动文件: C:\\windows\\System32\\drivers\\qmfilter.sys"
wine_run sc query QuillmossUpdate >"$work/sc" 2>&1
if grep -q "RUNNING\|STOPPED" "$work/sc"; then fail "the service is gone from the service control manager" "$work/sc"; else pass "the service is gone from the service control manager"; fi
wine_run sc query QuillmossToolsHelper >"$work/sc-tools" 2>&1
if grep -q RUNNING "$work/sc-tools"; then pass "the neighbour's service still runs"; else fail "the neighbour's service still runs" "$work/sc-tools"; fi

qxcli --db "Z:$package" analyze SW key=SWQUILLMOSS | tr -d '\r' >"$work/pending"
expect_lines "a later analysis shows them as pending, not as found" "$work/pending" \
  "corefile	<重启后删除> $held_file" \
  "dir	<重启后删除> $program_folder"

wine_run taskkill /f /im kestrune_sleeper.exe >/dev/null 2>&1
wait
wine_run wineboot -r >/dev/null 2>&1
if [ -e "$prefix/drive_c/Program Files/Quillmoss" ]; then
  ls -laR "$prefix/drive_c/Program Files/Quillmoss" >"$work/left"
  fail "the restart deleted what was scheduled" "$work/left"
else
  pass "the restart deleted what was scheduled"
fi

qxcli backups | tr -d '\r' >"$work/backups"
backup=$(head -n1 "$work/backups" | cut -f1)
case "$backup" in
  *Quillmoss*) pass "the newest backup is Quillmoss's" ;;
  *) fail "the newest backup is Quillmoss's" "$work/backups" ;;
esac

# Something of the same name exists again: a restore must report it and leave it.
wine_run reg add 'HKLM\SOFTWARE\Quillmoss' /v Version /d 9.9 /f >/dev/null 2>&1
wine_run reg export 'HKLM\SOFTWARE\Quillmoss' "Z:$work/recreated-before.reg" /y >/dev/null 2>&1

qxcli restore "$backup" --dry-run | tr -d '\r' >"$work/dry-run"
if [ -e "$prefix/drive_c/Program Files/Quillmoss" ]; then fail "a dry run restores nothing"; else pass "a dry run restores nothing"; fi
expect_lines "a dry run says what it would do" "$work/dry-run" \
  "将恢复: $program_folder" \
  "已存在, 将不覆盖: HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmoss"

qxcli restore "$backup" | tr -d '\r' >"$work/restore"
expect_status "a restore that left an item exits 4" 4 "${PIPESTATUS[0]}"
expect_lines "the restore reports line by line" "$work/restore" \
  "已恢复目录: $program_folder" \
  "已恢复文件: C:\\windows\\System32\\drivers\\qmfilter.sys" \
  "已存在, 未覆盖: HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmoss"

snapshot "$work/after"
for part in values.txt attributes.txt; do
  if diff -u "$work/before/$part" "$work/after/$part" >"$work/diff"; then pass "restored as before: $part"; else fail "restored as before: $part" "$work/diff"; fi
done
for part in "${file_parts[@]}"; do
  if diff -r "$work/before/$part" "$work/after/$part" >"$work/diff"; then pass "every file restored byte for byte: $part"; else fail "every file restored byte for byte: $part" "$work/diff"; fi
done
i=0
for key in "${keys[@]}"; do
  if cmp -s "$work/before/key$i.reg" "$work/after/key$i.reg"; then pass "key restored: $key"; else
    diff <(iconv -f UTF-16 -t UTF-8 "$work/before/key$i.reg" 2>/dev/null || cat "$work/before/key$i.reg") \
         <(iconv -f UTF-16 -t UTF-8 "$work/after/key$i.reg" 2>/dev/null || cat "$work/after/key$i.reg") >"$work/diff"
    fail "key restored: $key" "$work/diff"
  fi
  i=$((i + 1))
done
wine_run reg export 'HKLM\SOFTWARE\Quillmoss' "Z:$work/recreated-after.reg" /y >/dev/null 2>&1
if cmp -s "$work/recreated-before.reg" "$work/recreated-after.reg"; then pass "the re-created key is left as it was"; else fail "the re-created key is left as it was"; fi
