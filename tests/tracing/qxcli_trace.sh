#!/usr/bin/env bash
# qxcli trace end to end on a tiny installer (a batch file that copies programs into Program Files
# and writes keys of both registry halves and an uninstall registration with reg.exe): the
# written source holds the records, and hdbtool.exe builds it as it stands. Then the exit codes:
# usage errors, no registration without --name, a missing installer, and a timeout that still
# writes the source.
# Usage: qxcli_trace.sh BIN_FOLDER
set -u
bin=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_run() { bash "$here/../../tools/wine-run.sh" "$@"; }
work=$(mktemp -d)
passed=0
failed=0
finish() {
  wine_run cmd /c "Z:$work\\uninstall.bat" >/dev/null 2>&1
  rm -rf "$work"
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
trap finish EXIT
ok() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAILED: $*"; }

# expect NAME EXIT-CODE PATTERN -- ARGS...: runs qxcli, checks the exit code and that its output
# holds the pattern (grep -E, UTF-8).
expect() {
  local name=$1 code=$2 pattern=$3
  shift 4
  wine_run "$bin/qxcli.exe" --utf8 "$@" >"$work/out" 2>&1
  local status=$?
  tr -d '\r' <"$work/out" >"$work/text"
  if [ "$status" -eq "$code" ] && grep -qE -- "$pattern" "$work/text"; then ok; else fail "$name: exit $status (expected $code):"; cat "$work/text"; fi
}
# has FILE LINE: the source holds the line exactly.
has() { if tr -d '\r' <"$1" | grep -qxF -- "$2"; then ok; else fail "$1 lacks: $2"; fi; }
built() {  # the folder of signature sources builds with hdbtool.exe
  if wine_run "$bin/hdbtool.exe" build "Z:$1" "Z:$work/REZ.hdb3" >"$work/hdbtool" 2>&1; then ok; else fail "hdbtool build $1:"; cat "$work/hdbtool"; fi
}

mkdir -p "$work/sigs/SW" "$work/sigs/NM" "$work/lingering/NM"
cp "$bin/kestrune_sleeper.exe" "$work/payload.exe"
crlf() { sed 's/$/\r/' >"$1"; }
crlf "$work/install.bat" <<'BAT'
@echo off
mkdir "C:\Program Files\KestruneTraceTest"
copy /y "%~dp0payload.exe" "C:\Program Files\KestruneTraceTest\kttmain.exe" >nul
copy /y "%~dp0payload.exe" "C:\Program Files\KestruneTraceTest\uninstall.exe" >nul
copy /y "%~dp0payload.exe" "C:\Program Files\KestruneTraceTest\kttcore.dll" >nul
reg add "HKLM\SOFTWARE\KestruneTraceTest" /v Version /d 1.0 /f >nul
reg add "HKLM\SOFTWARE\KestruneTraceTest32" /v Path /d x /f /reg:32 >nul
reg add "HKCU\Software\KestruneTraceTest" /v "Last Run" /d 1 /f >nul
reg add "HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KestruneTraceTest" /v DisplayName /d "Kestrune Trace Test" /f >nul
reg add "HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KestruneTraceTest" /v DisplayVersion /d 1.0 /f >nul
BAT
crlf "$work/uninstall.bat" <<'BAT'
@echo off
rmdir /s /q "C:\Program Files\KestruneTraceTest"
rmdir /s /q "C:\ProgramData\KestruneBare"
reg delete "HKLM\SOFTWARE\KestruneTraceTest" /f
reg delete "HKLM\SOFTWARE\KestruneTraceTest32" /f /reg:32
reg delete "HKCU\Software\KestruneTraceTest" /f
reg delete "HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KestruneTraceTest" /f
BAT
crlf "$work/bare.bat" <<'BAT'
@echo off
mkdir "C:\ProgramData\KestruneBare"
copy /y "%~dp0payload.exe" "C:\ProgramData\KestruneBare\bare.exe" >nul
BAT
crlf "$work/lingering.bat" <<'BAT'
@echo off
start "" "%~dp0payload.exe" 60000
BAT
wine_run cmd /c "Z:$work\\uninstall.bat" >/dev/null 2>&1

source="$work/sigs/SW/kestrune-trace-test.sig"
expect "trace writes the source" 0 "已写入特征文件: .*kestrune-trace-test.sig \\([0-9]+ 条记录\\)" -- trace "Z:$source" -- "Z:$work\\install.bat"
for line in 'KEY: SW-KESTRUNE-TRACE-TEST' 'LI: Kestrune Trace Test|Software Management|1.0|5.1|6.1|64位' \
  'IDN: Kestrune Trace Test' 'FL: KestruneTraceTest' 'PR: kttmain.exe' 'CF: %PROGRAMFILES%\KestruneTraceTest\kttcore.dll' \
  'RN: HKLM|SOFTWARE\KestruneTraceTest' 'RN: HKLM|SOFTWARE\KestruneTraceTest32' 'RN: HKCU|Software\KestruneTraceTest' \
  'RN: HKLM|SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KestruneTraceTest' \
  '# 通用名称, 未写入: PR: uninstall.exe (a well-known generic name)'; do
  has "$source" "$line"
done
if grep -q 'Wow6432Node' "$source"; then fail "a record names Wow6432Node"; cat "$source"; else ok; fi
expect "an existing source is not written over" 2 "already exists" -- trace "Z:$source" -- "Z:$work\\install.bat"

expect "no registration, no name" 2 "--name NAME" -- trace "Z:$work/sigs/NM/bare.sig" -- "Z:$work\\bare.bat"
if [ -e "$work/sigs/NM/bare.sig" ]; then fail "a source was written without a name"; else ok; fi
wine_run cmd /c "Z:$work\\uninstall.bat" >/dev/null 2>&1
expect "no registration, named" 0 "已写入特征文件" -- trace --name "Kestrune 裸装" "Z:$work/sigs/NM/bare.sig" -- "Z:$work\\bare.bat"
has "$work/sigs/NM/bare.sig" 'LI: Kestrune 裸装|Software Management|-|5.1|6.1|32位'
has "$work/sigs/NM/bare.sig" 'FL: KestruneBare'
built "$work/sigs"

expect "timeout" 4 "未结束.*payload.exe" -- trace --name Lingering --timeout 2 "Z:$work/lingering/NM/lingering.sig" -- "Z:$work\\lingering.bat"
if tr -d '\r' <"$work/lingering/NM/lingering.sig" 2>/dev/null | grep -q '^# 注意: .*payload.exe'; then ok; else fail "the timed-out source does not say so"; fi
wine_run taskkill /f /im payload.exe >/dev/null 2>&1

expect "missing installer" 2 "安装程序不存在" -- trace "Z:$work/sigs/NM/x.sig" -- "Z:$work\\absent.exe"
expect "no installer" 2 "needs the installer after --" -- trace "Z:$work/sigs/NM/x.sig"
expect "no key in the name" 2 "must end in .sig" -- trace "Z:$work/sigs/NM/x.txt" -- "Z:$work\\bare.bat"
expect "type against folder" 2 "differs from the type folder NM" -- trace --type SW "Z:$work/sigs/NM/x.sig" -- "Z:$work\\bare.bat"
expect "no folder" 2 "folder does not exist" -- trace "Z:$work/none/x.sig" -- "Z:$work\\bare.bat"
expect "unknown sub-type" 2 "unknown sub-type All" -- trace --sub-type All "Z:$work/sigs/NM/x.sig" -- "Z:$work\\bare.bat"
expect "bad timeout" 2 "--timeout needs a number" -- trace --timeout 0 "Z:$work/sigs/NM/x.sig" -- "Z:$work\\bare.bat"
expect "trace options only with trace" 2 "go with trace only" -- list SW --name x
expect "no package for trace" 2 "--db does not go with it" -- --db x.hdb3 trace "Z:$work/sigs/NM/x.sig" -- "Z:$work\\bare.bat"
