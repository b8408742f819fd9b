#!/usr/bin/env bash
# Ostrel.exe's cost under Wine, measured from Linux: CPU time and private
# memory over a window of seconds, beside a minimal one-window Win32 program
# run at the same time (so Wine's own share shows), and the time from launch
# to the first report on the simulated display.
#
#   scripts/bench_program.sh                 60 s window, 3 launches
#   OSTREL_BENCH_SECONDS=30 OSTREL_BENCH_LAUNCHES=5 scripts/bench_program.sh
#   OSTREL_BENCH_STEADY=1 scripts/bench_program.sh
#
# The sensors follow the sample sensors.txt (a CPU temperature that changes
# about every second, so the panel repaints about once a second); with
# OSTREL_BENCH_STEADY=1 they read a constant 45 degrees instead.
#
# CPU time: utime + stime of the Windows process's Linux process over the
# window (after 5 s of settling). Private memory: Private_Clean +
# Private_Dirty from /proc/<pid>/smaps_rollup at the end of the window.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
unset HIDSIM_CONFIG HIDSIM_LOG OSTREL_SENSOR_SCRIPT
seconds=${OSTREL_BENCH_SECONDS:-60}
launches=${OSTREL_BENCH_LAUNCHES:-3}
build=${OSTREL_DEMO_BUILD:-build}
case "$build" in /*) ;; *) build=$repo/$build ;; esac

cmake --build "$build" --target ostrel_packages hidsim minimal_window >/dev/null
state=$build/wine
eval "$(tools/wine-env shell "$state")"
win() { tools/wine-env run "$state" "$@"; }

stage=$build/bench-program
rm -rf "$stage"
mkdir -p "$stage"
# What the packages hold (stripped: a build's debug sections would be loaded
# with the image and count as private memory), with the simulator.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build"/CMakeCache.txt)
cp -r "$build"/packaging/Ostrel-"$version"-win64/. "$stage"/
cp "$build"/sim/hidsim/hidapi.dll "$stage"/hidapi.dll
x86_64-w64-mingw32-strip -o "$stage"/minimal_window.exe "$build"/tests/minimal_window.exe
printf '[display]\nvendor_id = 0x1A2C\nproduct_id = 0x4F84\ninterfaces = 0001:6 FF01:1\n' >"$stage"/hidsim.ini
if [ -n "${OSTREL_BENCH_STEADY:-}" ]; then
  printf 'hardware processor Steady CPU\ntemperature 0 45 CPU Package\n' >"$stage"/sensors.txt
else
  cp sensorlib/sensors.txt "$stage"/sensors.txt
fi
export OSTREL_SENSOR_SCRIPT="Z:$stage/sensors.txt" OSTREL_UPDATE_SERVER=http://127.0.0.1:1
hz=$(getconf CLK_TCK)

# The Linux process running a Windows executable: Wine gives it the
# executable's path as its command line.
linux_pid() {
  local pid
  for _ in $(seq 1 100); do
    pid=$(pgrep -n -f -- "^$stage/$1") && { echo "$pid"; return; }
    sleep 0.1
  done
  echo "no process for $1" >&2
  exit 1
}
cpu_ticks() { awk '{ print $14 + $15 }' /proc/"$1"/stat; }
private_kb() { awk '/^Private_(Clean|Dirty):/ { kb += $2 } END { print kb }' /proc/"$1"/smaps_rollup; }
end_all() {
  win C:/windows/system32/taskkill.exe /F /IM Ostrel.exe >/dev/null 2>&1 || true
  win C:/windows/system32/taskkill.exe /F /IM minimal_window.exe >/dev/null 2>&1 || true
  wait 2>/dev/null || true
}

echo "== launch to first report ($launches launches)"
for i in $(seq 1 "$launches"); do
  : >"$stage"/hidsim.log
  start=$(date +%s%N)
  win "$stage/Ostrel.exe" </dev/null >/dev/null 2>&1 &
  until grep -q '^send_feature' "$stage"/hidsim.log 2>/dev/null; do
    sleep 0.01
    [ $(( ($(date +%s%N) - start) / 1000000000 )) -lt 30 ] || { echo "no report in 30 s" >&2; break; }
  done
  echo "  launch $i: first report after $(( ($(date +%s%N) - start) / 1000000 )) ms"
  end_all
  # Wine tidies up after a killed process for a while; a launch straight
  # after would wait for it.
  sleep 3
done

echo "== $seconds s side by side: Ostrel.exe and minimal_window.exe"
win "$stage/Ostrel.exe" </dev/null >/dev/null 2>&1 &
win "$stage/minimal_window.exe" </dev/null >/dev/null 2>&1 &
ostrel=$(linux_pid Ostrel.exe)
minimal=$(linux_pid minimal_window.exe)
sleep 5
o0=$(cpu_ticks "$ostrel") m0=$(cpu_ticks "$minimal")
sleep "$seconds"
o1=$(cpu_ticks "$ostrel") m1=$(cpu_ticks "$minimal")
op=$(private_kb "$ostrel") mp=$(private_kb "$minimal")
reports=$(grep -c '^send_feature' "$stage"/hidsim.log || true)
end_all
awk -v o="$((o1 - o0))" -v m="$((m1 - m0))" -v hz="$hz" -v s="$seconds" -v op="$op" -v mp="$mp" -v r="$reports" 'BEGIN {
  printf "  %-20s %10s %12s %14s\n", "", "CPU (s)", "% of a core", "private (MB)"
  printf "  %-20s %10.2f %12.3f %14.1f\n", "Ostrel.exe", o / hz, 100 * o / hz / s, op / 1024
  printf "  %-20s %10.2f %12.3f %14.1f\n", "minimal_window.exe", m / hz, 100 * m / hz / s, mp / 1024
  printf "  %-20s %10.2f %12.3f %14.1f\n", "own share", (o - m) / hz, 100 * (o - m) / hz / s, (op - mp) / 1024
  printf "  reports sent since launch: %d\n", r
}'
