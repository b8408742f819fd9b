#!/usr/bin/env bash
# Both packages as a user gets them, under Wine: the zip holds exactly the
# program's files and runs from where it is unpacked; the installer puts the
# same files into Program Files\Ostrel with its shortcuts, and its silent
# uninstall removes them and the logon task, keeping the user's settings
# unless asked to remove them too.
#
#   package_test.sh <build> <wine-env> <wine state> <with Ostrel.exe: 0|1> <version>
set -euo pipefail
build=$1 wine_env=$2 state=$3 with_program=$4 version=$5
zip=$build/Ostrel-$version-win64.zip
setup=$build/Ostrel-$version-setup.exe
work=$build/tests/packaging-run
prefix=$state/prefix

fail() { echo "FAIL: $*" >&2; exit 1; }
wine_run() { "$wine_env" run "$state" "$@"; }

cmake --build "$build" --target ostrel_packages >/dev/null

expected=$(
  {
    [ "$with_program" = 1 ] && echo Ostrel.exe
    printf '%s\n' VELO.dll api-ms-win-core-sysinfo-825-32.dll hidapi.dll ostrelctl.exe \
      skins/theme1/Ostrel.ico skins/theme1/img_btn_close.png skins/theme1/img_button.png \
      skins/theme1/img_cpu_bkg5.png skins/theme1/img_cpu_bkg6.png
  } | sort
)
files_in() { (cd "$1" && find . -type f | sed 's|^\./||' | sort); }

# Starts Ostrel.exe from a folder, as a user would, and checks it runs: its
# first start stores "led_switch" and it is still up 4 s later. Ended with
# taskkill afterwards (the tray's Exit is a menu a script cannot reach).
program_starts() {
  local exe=$1 where=$2 pid status
  # An instance left by an earlier test would make this one leave at once.
  wine_run C:/windows/system32/taskkill.exe /F /IM Ostrel.exe >/dev/null 2>&1 || true
  wine_run C:/windows/system32/reg.exe delete 'HKCU\SOFTWARE\TEMP' /f >/dev/null 2>&1 || true
  OSTREL_UPDATE_SERVER=http://127.0.0.1:1 "$wine_env" run "$state" "$exe" </dev/null >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 75); do
    wine_run C:/windows/system32/reg.exe query 'HKCU\SOFTWARE\TEMP' /v led_switch >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 4
  if ! kill -0 "$pid" 2>/dev/null; then
    status=0
    wait "$pid" || status=$?
    fail "Ostrel.exe from $where ended early with $status"
  fi
  wine_run C:/windows/system32/reg.exe query 'HKCU\SOFTWARE\TEMP' /v led_switch 2>/dev/null | grep -q REG_SZ ||
    fail "Ostrel.exe from $where stored no settings"
  wine_run C:/windows/system32/taskkill.exe /F /IM Ostrel.exe >/dev/null 2>&1 || true
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$pid" 2>/dev/null && fail "Ostrel.exe from $where did not end"
  wait "$pid" 2>/dev/null || true
}

# --- portable zip: the files at its root, nothing else ---
listing=$(python3 -c '
import sys, zipfile
for n in zipfile.ZipFile(sys.argv[1]).namelist():
    if not n.endswith("/"): print(n)' "$zip" | sort)
want=$expected
[ "$listing" = "$want" ] || fail "zip contents differ:"$'\n'"$(diff <(echo "$want") <(echo "$listing"))"

rm -rf "$work" && mkdir -p "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip")
help=$(wine_run "$work/unzipped/ostrelctl.exe" help) || fail "ostrelctl help failed from the zip"
grep -q 'sensors' <<<"$help" || fail "ostrelctl help printed: $help"
if [ "$with_program" = 1 ]; then
  program_starts "$work/unzipped/Ostrel.exe" "the zip"
  echo "zip: $(wc -l <<<"$listing") files, Ostrel.exe and ostrelctl run from the unpacked folder"
else
  echo "zip: $(wc -l <<<"$listing") files, ostrelctl runs from the unpacked folder"
fi

# --- installer ---
installed="$prefix/drive_c/Program Files/Ostrel"
menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Ostrel"
tasks="$prefix/drive_c/windows/system32/tasks"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ostrel'

install_silently() {
  rm -rf "$installed" "$menu"
  wine_run "$setup" /S || fail "setup.exe /S failed"
  [ -d "$installed" ] || fail "nothing installed in Program Files\\Ostrel"
}

# The program registers its logon task and settings when it runs; here they
# are made directly, as it would leave them.
program_was_used() {
  cat >"$work/task.xml" <<'XML'
<?xml version="1.0"?>
<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
  <Actions Context="Author"><Exec><Command>C:\Program Files\Ostrel\Ostrel.exe</Command></Exec></Actions>
</Task>
XML
  wine_run C:/windows/system32/schtasks.exe /create /tn "TEMP StartupTask" /xml "Z:$work/task.xml" /f >/dev/null ||
    fail "could not create the logon task"
  [ -f "$tasks/TEMP StartupTask" ] || fail "logon task file missing after create"
  wine_run C:/windows/system32/reg.exe add 'HKCU\SOFTWARE\TEMP' /v led_switch /t REG_SZ /d 1 /f >/dev/null
}

# The uninstaller copies itself to the temp folder and returns at once; the
# copy does the work.
uninstall_silently() {
  wine_run "C:/Program Files/Ostrel/Uninstall.exe" /S "$@" || fail "Uninstall.exe /S failed"
  for _ in $(seq 1 150); do
    [ -e "$installed" ] || [ -e "$menu" ] || return 0
    sleep 0.2
  done
  fail "Program Files\\Ostrel still there 30 s after the uninstall: $(files_in "$installed" | tr '\n' ' ')"
}

settings_present() { wine_run C:/windows/system32/reg.exe query 'HKCU\SOFTWARE\TEMP' /v led_switch >/dev/null 2>&1; }

install_silently
got=$(files_in "$installed")
[ "$got" = "$(printf '%s\nUninstall.exe\n' "$expected" | sort)" ] ||
  fail "installed files differ:"$'\n'"$(diff <(printf '%s\nUninstall.exe\n' "$expected" | sort) <(echo "$got"))"
[ -f "$menu/Uninstall Ostrel.lnk" ] || fail "no Start-menu shortcut to the uninstaller"
if [ "$with_program" = 1 ]; then
  [ -f "$menu/Ostrel.lnk" ] || fail "no Start-menu shortcut to Ostrel.exe"
fi
wine_run C:/windows/system32/reg.exe query "$uninstall_key" /v DisplayVersion | grep -q "$version" ||
  fail "no uninstall entry with the version"
help=$(wine_run "C:/Program Files/Ostrel/ostrelctl.exe" help) || fail "installed ostrelctl help failed"
grep -q 'sensors' <<<"$help" || fail "installed ostrelctl help printed: $help"
if [ "$with_program" = 1 ]; then
  program_starts "C:/Program Files/Ostrel/Ostrel.exe" "Program Files"
fi
echo "installer: $(wc -l <<<"$got") files in Program Files\\Ostrel, Start-menu folder, the programs run"

program_was_used
uninstall_silently
[ ! -e "$menu" ] || fail "Start-menu folder left behind"
[ ! -e "$tasks/TEMP StartupTask" ] || fail "logon task left behind"
! wine_run C:/windows/system32/reg.exe query "$uninstall_key" >/dev/null 2>&1 || fail "uninstall entry left behind"
settings_present || fail "silent uninstall removed the user's settings"
echo "uninstall: files, shortcuts and logon task removed, settings kept"

install_silently
uninstall_silently /REMOVESETTINGS
! settings_present || fail "/REMOVESETTINGS kept the settings"
echo "uninstall /REMOVESETTINGS: settings removed too"
