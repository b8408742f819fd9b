#!/usr/bin/env bash
# Regenerates the README's pictures in docs/images from the Windows build,
# under Wine on the build's private Xvfb (1920 x 1080, black root window, so
# the layered windows' transparent parts show black):
#   panel-bkg5.png      the panel with "tempe_type" 0
#   panel-bkg6.png      the panel with "tempe_type" 1
#   messagebox-ok.png   a message box with one OK button (style 0)
#   messagebox-yesno.png  one with YES and NO (style 4)
#
#   scripts/screenshots.sh            (OSTREL_DEMO_BUILD=<dir> for another build folder)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
unset HIDSIM_CONFIG HIDSIM_LOG OSTREL_SENSOR_SCRIPT
build=${OSTREL_DEMO_BUILD:-build}
case "$build" in /*) ;; *) build=$repo/$build ;; esac
out=$repo/docs/images
mkdir -p "$out"

cmake --build "$build" --target Ostrel sensorlib hidsim message_box_probe >/dev/null
state=$build/wine
eval "$(tools/wine-env shell "$state")"
win() { tools/wine-env run "$state" "$@"; }

stage=$build/screenshots
rm -rf "$stage"
mkdir -p "$stage"
cp -r "$build"/bin/. "$stage"/
cp "$build"/sim/hidsim/hidapi.dll "$stage"/hidapi.dll
cp "$build"/tests/message_box_probe.exe "$stage"/
printf '[display]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\n' >"$stage"/hidsim.ini
printf 'hardware processor Demo CPU\ntemperature 0 47 CPU Package\n' >"$stage"/sensors.txt
export OSTREL_SENSOR_SCRIPT="Z:$stage/sensors.txt" OSTREL_UPDATE_SERVER=http://127.0.0.1:1

shot() { import -display "$DISPLAY" -window root -crop "$1" +repage "$2" && echo "wrote $2"; }
end_program() {
  win C:/windows/system32/taskkill.exe /F /IM "$1" >/dev/null 2>&1 || true
  wait 2>/dev/null || true
}

for type in 0 1; do
  win C:/windows/system32/reg.exe add 'HKCU\SOFTWARE\TEMP' /v tempe_type /t REG_SZ /d "$type" /f >/dev/null
  win "$stage/Ostrel.exe" </dev/null >/dev/null 2>&1 &
  sleep 6
  shot 340x250+1577+827 "$out/panel-bkg$((type + 5)).png"
  end_program Ostrel.exe
done
win C:/windows/system32/reg.exe add 'HKCU\SOFTWARE\TEMP' /v tempe_type /t REG_SZ /d 0 /f >/dev/null

# The box is centred on the screen: (1920 - 380) / 2, (1080 - 200) / 2.
win "$stage/message_box_probe.exe" 0 'The software is the latest version!' </dev/null >/dev/null 2>&1 &
sleep 4
shot 380x200+770+440 "$out/messagebox-ok.png"
end_program message_box_probe.exe
win "$stage/message_box_probe.exe" 4 'Detected the latest version:v1.0.1.2, update now?' </dev/null >/dev/null 2>&1 &
sleep 4
shot 380x200+770+440 "$out/messagebox-yesno.png"
end_program message_box_probe.exe
