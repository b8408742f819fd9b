#!/usr/bin/env bash
# Same tree, same block: for every host tree the Windows tests use, ostreld
# publishes exactly the bits Ostrel.exe publishes under Wine. Each program
# runs on the tree with the display simulator until it has made a few
# passes; then the four fields are compared as the bits of their floats.
#
#   tests/sensors/same_tree_test.sh <windows build> <linux build> <native build>
# (Ostrel.exe and block_bits.exe; ostreld and the Linux simulator; the
# fake_sysfs_tree tool.)
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
win_build=$(cd "$1" && pwd)
linux_build=$(cd "$2" && pwd)
native_build=$(cd "$3" && pwd)
tmp=$(mktemp -d)
state=$win_build/wine
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT

# The program as a user unzips it, with the simulator for hidapi.dll and no
# sensors.txt: the tree is the machine.
mkdir -p "$tmp/win"
cp -r "$win_build/bin/." "$tmp/win/"
rm -f "$tmp/win/sensors.txt"
cp "$win_build/sim/hidsim/hidapi.dll" "$tmp/win/"
cat >"$tmp/hidsim.ini" <<'INI'
[display]
vendor_id = 0x1A2C
product_id = 0x4F84
INI
cp "$tmp/hidsim.ini" "$tmp/win/hidsim.ini"
export HIDSIM_LOG="$tmp/hidsim.log" OSTREL_UPDATE_SERVER=http://127.0.0.1:1
unset OSTREL_SENSOR_SCRIPT HIDSIM_CONFIG

"$repo/tools/wine-env" start "$state" >/dev/null
win() { "$repo/tools/wine-env" run "$state" "$@"; }

# Polls <reader> until it answers, then lets the program make two more
# passes (one a second) and prints the reader's last answer.
settled() {
  local i
  for i in $(seq 150); do
    "$@" >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 2.5
  "$@"
}

linux_bits() {
  local f=/dev/shm/brovan_hardware_mapfile offset bits out=
  [ -f "$f" ] || return 1
  for offset in 152 296 444 584; do
    bits=$(od -An -tx4 -j "$offset" -N 4 "$f" | tr -d ' ')
    out+="$offset=$bits "
  done
  echo "${out% }"
}

failures=0
for tree in ryzen intel dual garbled; do
  root="$tmp/tree-$tree"
  "$native_build/tests/fake_sysfs_tree" "$tree" "$root"

  OSTREL_SYSFS_ROOT="$root" win "$tmp/win/Ostrel.exe" </dev/null >"$tmp/ostrel-$tree.log" 2>&1 &
  pids+=($!)
  windows=$(settled win "$win_build/tests/block_bits.exe" | tr -d '\r') || windows="no block"
  win C:/windows/system32/taskkill.exe /F /IM Ostrel.exe >/dev/null 2>&1 || true
  wait "${pids[-1]}" 2>/dev/null || true

  OSTREL_SYSFS_ROOT="$root" LD_LIBRARY_PATH="$linux_build/sim/hidsim" HIDSIM_CONFIG="$tmp/hidsim.ini" \
    "$linux_build/bin/ostreld" --config "$tmp/no-such.conf" 2>"$tmp/ostreld-$tree.log" &
  pids+=($!)
  linux=$(settled linux_bits) || linux="no block"
  kill -TERM "${pids[-1]}" 2>/dev/null || true
  wait "${pids[-1]}" || true

  if [ "$windows" = "$linux" ] && [ "$linux" != "no block" ]; then
    echo "same_tree_test: $tree: $linux"
  else
    echo "FAIL: $tree: Ostrel.exe published '$windows', ostreld '$linux'" >&2
    tail -n 5 "$tmp/ostrel-$tree.log" "$tmp/ostreld-$tree.log" >&2
    failures=$((failures + 1))
  fi
done
"$repo/tools/wine-env" stop "$state" >/dev/null 2>&1 || true
[ "$failures" = 0 ]
