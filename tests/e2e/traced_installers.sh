#!/usr/bin/env bash
# End to end, as a signature maker meets it: for each installer family (tests/fixtures/installers)
# trace a real installer with `qxcli trace`, build the traced source into a package with hdbtool,
# analyse and clean the program with qxcli, and compare the machine with its state before the
# install: nothing of the program may be left and nothing else may have changed (temporary
# folders, logs, Wine's volatile keys and Kestrune's own backups aside). Then install once more
# and let the family's own uninstaller remove it silently, and say what that leaves. After each
# family the prefix is put back as it was, and at the end that is checked.
# Usage: traced_installers.sh BIN_FOLDER WORK_FOLDER MSI_PRODUCT_CODE ["FAMILY: why it is missing"...]
set -u
bin=$1
work=$2
msi_product_code=$3
shift 3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
prefix=${KESTRUNE_WINEPREFIX:-$root/build/wineprefix}
drive_c=$prefix/drive_c
if [ -z "$work" ] || [ ! -f "$prefix/system.reg" ]; then
  echo "traced_installers: needs a work folder and the Wine prefix $prefix" >&2
  exit 2
fi
# Shortcuts stay in the prefix (winemenubuilder off); Wine reads that only from its start environment.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=};winemenubuilder.exe=d"

rm -rf "$work"
mkdir -p "$work/signatures-out" "$work/packages" "$work/state"
log=$work/wine-stderr.log
state=$drive_c/windows/temp/kestrune-state   # a noise folder: the snapshots do not see themselves
state_windows='C:\windows\temp\kestrune-state'

# Programs that installers start inherit Wine's standard error: it goes to a file, so that they
# cannot hold ctest's pipe open.
wine() { bash "$root/tools/wine-run.sh" "$@" 2>>"$log"; }
settle() { WINEPREFIX="$prefix" wineserver -w; }   # every Windows process of the prefix has ended
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
machine_state() { python3 "$here/machine_state.py" "$@"; }

snapshot() {  # snapshot NAME: the machine's registry and files as sorted lines in $work/state/NAME
  settle
  mkdir -p "$state"
  wine cmd /c "reg export HKLM $state_windows\\hklm.reg /y >nul & reg export HKU $state_windows\\hku.reg /y >nul"
  settle
  machine_state listing "$drive_c" "$state/hklm.reg" "$state/hku.reg" "$work/state/$1"
}

put_back() {  # put_back NAME [BASE]: undo what changed since snapshot BASE (the baseline), as NAME shows it
  mkdir -p "$state"
  machine_state undo "$work/state/${2:-baseline}" "$work/state/$1" "$drive_c" "$state/undo.reg"
  wine regedit /s "$state_windows\\undo.reg"
  settle
}

passed=()
failed=()
skipped=()
own_uninstallers=()
fail() { echo "FAILED: $1"; failed+=("$1"); }

# run_family ID LABEL PROGRAM SUB_TYPE INSTALLER OWN_UNINSTALL_COMMAND INSTALLER_ARGS...
# ID names the traced source, and through it gives the program its key (NM-ID).
run_family() {
  local id=$1 label=$2 program=$3 sub_type=$4 installer=$5 uninstall=$6
  shift 6
  local source="$work/signatures-out/$id.sig"
  local package="$work/packages/$id.hdb3"
  echo "=== $label: $program"

  # Trace the installer into a signature source.
  if ! wine "$bin/qxcli.exe" --utf8 trace --type NM --sub-type "$sub_type" --name "$program" \
       "$(windows_path "$source")" -- "$installer" "$@" >"$work/$id-trace.txt"; then
    cat "$work/$id-trace.txt"
    fail "$label: qxcli trace failed"
    snapshot "$id-after-trace" && put_back "$id-after-trace"
    return
  fi
  settle
  echo "--- traced source $source:"
  cat "$source"

  # Build a package holding that source alone.
  mkdir -p "$work/packages/$id/NM"
  cp "$source" "$work/packages/$id/NM/"
  if ! wine "$bin/hdbtool.exe" build "$(windows_path "$work/packages/$id")" "$(windows_path "$package")"; then
    fail "$label: hdbtool build refused the traced source"
    snapshot "$id-after-trace" && put_back "$id-after-trace"
    return
  fi
  local key
  key=$(sed -n 's/^[[:space:]]*KEY:[[:space:]]*//p' "$source" | tr -d '\r')

  # Analyse and clean it.
  echo "--- qxcli analyze NM key=$key:"
  wine "$bin/qxcli.exe" --db "$(windows_path "$package")" --utf8 analyze NM "key=$key" | tr -d '\r'
  echo "--- qxcli clean NM key=$key:"
  wine "$bin/qxcli.exe" --db "$(windows_path "$package")" --utf8 clean NM "key=$key" | tr -d '\r'
  local status=${PIPESTATUS[0]} ok=1
  if [ "$status" -eq 5 ]; then
    # Items in use were scheduled for deletion at restart: Wine carries them out when it starts.
    wine wineboot -r
    settle
  elif [ "$status" -ne 0 ]; then
    fail "$label: qxcli clean exited $status"
    ok=0
  fi

  # Nothing of the program left, nothing else changed.
  snapshot "$id-after-clean"
  machine_state diff "$work/state/baseline" "$work/state/$id-after-clean" --ignore-backups >"$work/$id-clean.diff"
  machine_state summary "$work/state/baseline" "$work/state/$id-after-clean" >"$work/$id-clean.summary"
  # Windows Installer keeps a copy of the package under a name it makes up on each machine
  # (C:\Windows\Installer\1a2b.msi): no signature can name it, so it is reported, not failed.
  local msi_cache=$'^\\+ file\twindows/installer/[^/\t]+\\.msi(\t|$)'
  grep -Ei "$msi_cache" "$work/$id-clean.summary" | sed "s/^+ file\t/$label: Windows Installer's cached package left: /; s/\t[0-9]*$//"
  if ! grep -Eiv "$msi_cache" "$work/$id-clean.summary" | grep -q .; then
    echo "ok: $label: the machine is as before the install"
    [ "$ok" -eq 1 ] && passed+=("$label")
  else
    echo "the clean-up left or changed (whole difference in $work/$id-clean.diff):"
    cat "$work/$id-clean.summary"
    fail "$label: the machine differs from before the install"
  fi
  put_back "$id-after-clean"

  # The family's own uninstaller, for comparison: what does it leave?
  wine "$installer" "$@"
  settle
  # A batch file keeps the command line as written, quotes and variables included.
  printf '@%s\r\n' "$uninstall" >"$state/uninstall.bat"
  wine cmd /c "$state_windows\\uninstall.bat"
  settle
  snapshot "$id-after-own-uninstaller"
  local leftovers
  leftovers=$(machine_state summary "$work/state/baseline" "$work/state/$id-after-own-uninstaller")
  if [ -z "$leftovers" ]; then
    own_uninstallers+=("$label own uninstaller leaves: nothing")
  else
    own_uninstallers+=("$label own uninstaller leaves: $(printf '%s\n' "$leftovers" | sed 's/^+ //; s/\t[0-9]*$//; s/\t/ /' | paste -sd ';' | sed 's/;/; /g')")
  fi
  put_back "$id-after-own-uninstaller"
}

# The containers that all installers of a family share exist on a machine in use (after any
# per-user install, any Windows Installer package); a fresh prefix lacks them. They are made before
# the baseline, so that neither a clean-up nor an uninstaller is blamed for leaving them, and are
# taken away again at the end.
snapshot pristine
mkdir -p "$state" "$drive_c/windows/Installer"
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
  '[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall]' \
  '[HKEY_LOCAL_MACHINE\Software\Classes\Installer\Features]' \
  '[HKEY_LOCAL_MACHINE\Software\Classes\Installer\Products]' \
  '[HKEY_LOCAL_MACHINE\Software\Classes\Installer\UpgradeCodes]' \
  '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Installer\UpgradeCodes]' \
  '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Components]' \
  '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Products]' \
  >"$state/containers.reg"
wine regedit /s "$state_windows\\containers.reg"
printf '@mkdir "%%LOCALAPPDATA%%\\Programs"\r\n' >"$state/containers.bat"
wine cmd /c "$state_windows\\containers.bat"
snapshot baseline

families=0
if [ -f "$bin/BrightfernSetup.exe" ]; then
  families=$((families + 1))
  run_family brightfern NSIS "Brightfern 记事本" "Desktop Customization" "$(windows_path "$bin/BrightfernSetup.exe")" \
    '"%LOCALAPPDATA%\Programs\Brightfern\uninstall.exe" /S' /S
fi
if [ -f "$bin/LarchmereSetup.exe" ]; then
  families=$((families + 1))
  run_family larchmere "Inno Setup" "Larchmere 日历" "Desktop Customization" "$(windows_path "$bin/LarchmereSetup.exe")" \
    '"%ProgramFiles%\Larchmere\unins000.exe" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART' \
    /VERYSILENT /SUPPRESSMSGBOXES /NORESTART
fi
if [ -f "$bin/TidewhistleSetup.msi" ]; then
  families=$((families + 1))
  run_family tidewhistle "Windows Installer" "Tidewhistle 计算器" "Maintenance & Optimization" 'C:\windows\system32\msiexec.exe' \
    "msiexec /x $msi_product_code /qn" /i "$(windows_path "$bin/TidewhistleSetup.msi")" /qn
fi
for reason in "$@"; do skipped+=("$reason"); done

# Every family put the prefix back; take the containers away and check that it is as it was.
snapshot end
put_back end pristine
snapshot final
if ! machine_state diff "$work/state/pristine" "$work/state/final" --ignore-backups >"$work/final.diff"; then
  echo "the prefix was not put back as before the test:"
  machine_state summary "$work/state/pristine" "$work/state/final"
  fail "the prefix differs from before the test"
fi

echo "=== results"
for line in "${own_uninstallers[@]}"; do echo "$line"; done
for reason in "${skipped[@]}"; do echo "skipped: $reason"; done
echo "passed: ${#passed[@]} of $families families (${passed[*]:-none})"
if [ "$families" -eq 0 ] || [ "${#failed[@]}" -ne 0 ]; then
  for line in "${failed[@]}"; do echo "FAILED: $line"; done
  echo "--- Wine's standard error: $log"
  exit 1
fi
exit 0
