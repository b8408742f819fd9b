#!/usr/bin/env bash
# The program itself without a display or sensors attached: builds the
# Windows binaries, stages <build>/bin in <build>/demo with the display
# simulator in place of hidapi.dll and the sample sensor script, runs
# Ostrel.exe under Wine and shows what the simulated display received.
#
# With an X display ($DISPLAY) the panel and the tray icon appear there; without
# one the program runs on a private Xvfb and a screenshot of the panel is
# saved as <build>/demo/panel.png.
#
#   scripts/demo.sh                    15 seconds
#   OSTREL_DEMO_SECONDS=60 scripts/demo.sh
#   OSTREL_DEMO_BUILD=<dir>            build folder (default: build)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
seconds=${OSTREL_DEMO_SECONDS:-15}
# Wine hands the environment on: a variable left over from running a test by
# hand would point the simulator or the sensor library elsewhere.
unset HIDSIM_CONFIG HIDSIM_LOG OSTREL_SENSOR_SCRIPT
build=${OSTREL_DEMO_BUILD:-build}
# Wine wants its prefix, which lives in the build folder, as an absolute path.
case "$build" in /*) ;; *) build=$repo/$build ;; esac
case "$seconds" in
  '' | *[!0-9]* | 0) echo "OSTREL_DEMO_SECONDS must be a whole number of seconds, 1 or more" >&2; exit 2 ;;
esac

scripts/setup.sh
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" --target Ostrel ostrelctl sensorlib hidsim

# <build>/bin stays as a user gets it (with the real hidapi.dll); the demo
# runs a copy of it.
demo=$build/demo
rm -rf "$demo"
mkdir -p "$demo"
cp -r "$build"/bin/. "$demo"/
cp "$build"/sim/hidsim/hidapi.dll "$demo"/hidapi.dll
cp sensorlib/sensors.txt "$demo"/sensors.txt
cat >"$demo"/hidsim.ini <<'INI'
# One display fitted to a cooler: a keyboard-like interface, the display's
# vendor-defined collection, and a consumer-control interface.
[cooler-display]
vendor_id = 0x1A2C
product_id = 0x4F84
product = USB Temperature Display
release = 0x0100
interfaces = 0001:6 FF01:1 000C:1
firmware = 0x010A
INI
: >"$demo"/hidsim.log
export OSTREL_SENSOR_SCRIPT="Z:$demo/sensors.txt"
# No update server for a demo: nothing listens on port 1 of this machine.
export OSTREL_UPDATE_SERVER=http://127.0.0.1:1

if [ -n "${DISPLAY:-}" ]; then
  # The user's own screen, with a prefix of the demo's own.
  prefix=$build/demo-prefix
  if [ ! -f "$prefix/.ostrel-ready" ]; then
    rm -rf "$prefix"
    cp -a "${OSTREL_DEPS:-$repo/.deps}/wine-prefix" "$prefix"
  fi
  export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64
  win() { wine "$@"; }
  where="your display $DISPLAY"
  own_display=0
else
  state=$build/wine
  eval "$(tools/wine-env shell "$state")"
  win() { tools/wine-env run "$state" "$@"; }
  where="a private Xvfb ($DISPLAY)"
  own_display=1
fi

echo "== Ostrel.exe for $seconds s on $where (sensor script: $demo/sensors.txt)"
win "$demo/Ostrel.exe" </dev/null >"$demo/ostrel.log" 2>&1 &
program=$!
sleep "$seconds"
if [ "$own_display" = 1 ]; then
  # The panel sits 3 px inside the bottom-right corner of the 1920 x 1080 screen.
  import -display "$DISPLAY" -window root -crop 340x250+1577+827 +repage "$demo/panel.png" &&
    echo "panel screenshot: $demo/panel.png"
fi
win C:/windows/system32/taskkill.exe /F /IM Ostrel.exe >/dev/null 2>&1 || true
wait "$program" 2>/dev/null || true

echo
echo "== what the simulated display received"
awk '
  $1 == "send_feature" && $4 == 65 && $5 == "07" && $6 == "FF" && $7 == "FF" {
    n++
    shown = ($8 + 0) * 100 + ($9 + 0) * 10 + ($10 + 0)
    printf "  report %2d to %s (interface %s), %d bytes: %s %s %s %s %s %s ... -> shows %d\n",
           n, $2, $3, $4, $5, $6, $7, $8, $9, $10, shown
  }
  END { if (!n) { print "  no temperature report arrived"; exit 1 } }
' "$demo"/hidsim.log
