#!/usr/bin/env bash
# The program's main job without a display or sensors attached: builds the
# Windows binaries, stages <build>/bin in build/demo with the display
# simulator in place of hidapi.dll and the sample sensor script, runs
# `ostrelctl run` under Wine and shows what the simulated display received.
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
cmake --build "$build" --target ostrelctl sensorlib hidsim

# <build>/bin stays as a user gets it (with the real hidapi.dll); the demo
# runs a copy of it.
demo=$build/demo
rm -rf "$demo"
mkdir -p "$demo"
cp -r "$build"/bin/. "$demo"/
cp "$build"/sim/hidsim/hidapi.dll "$demo"/hidapi.dll
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

run() { tools/wine-env run "$build"/wine "$demo/ostrelctl.exe" "$@"; }

echo "== ostrelctl devices"
run devices
: >"$demo"/hidsim.log
echo
echo "== ostrelctl run --seconds $seconds (sensor script: $demo/sensors.txt)"
run run --seconds "$seconds"

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
