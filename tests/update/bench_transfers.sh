#!/usr/bin/env bash
# Whole-process figures for the transfers, against the loopback test server:
#   - a 50 MB download by `ostrelctl fetch` under Wine against curl, both
#     writing the same file, runs interleaved, median and range;
#   - how long a version fetch takes to give up on a server that stalls,
#     drips, or cannot be reached.
#
#   tests/update/bench_transfers.sh <windows-build-dir> [runs]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-7}
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
state=$(mktemp -d)
trap 'python3 "$here/http_server.py" stop "$state" >/dev/null; rm -rf "$state"' EXIT

python3 "$here/http_server.py" start "$state" >/dev/null
# shellcheck disable=SC1091
. <(sed 's/^/export /' "$state/server.txt")
ctl() { "$repo/tools/wine-env" run "$build/wine" "$build/bin/ostrelctl.exe" "$@" 2>/dev/null; }
seconds() { local t0 t1; t0=$(date +%s.%N); "$@" >/dev/null || true; t1=$(date +%s.%N); awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'; }
stats() { sort -n | awk '{ v[NR] = $1 } END { printf "median %.3f s (min %.3f, max %.3f, %d runs)", v[int((NR + 1) / 2)], v[1], v[NR], NR }'; }

size=$((50 * 1024 * 1024))
url=http://127.0.0.1:$port/file/$size
ctl fetch "http://127.0.0.1:$port/text/warm-up" >/dev/null || true
: >"$state/wine.times"
: >"$state/curl.times"
for _ in $(seq "$runs"); do
  rm -f "$state/wine.bin" "$state/curl.bin"
  seconds ctl fetch "$url" "Z:${state//\//\\}\\wine.bin" >>"$state/wine.times"
  seconds curl -s -o "$state/curl.bin" "$url" >>"$state/curl.times"
done
cmp -s "$state/wine.bin" "$state/curl.bin" || { echo "the two downloads differ" >&2; exit 1; }
echo "50 MB download, whole process:"
echo "  ostrelctl fetch (Wine): $(stats <"$state/wine.times")"
echo "  curl:                   $(stats <"$state/curl.times")"

echo "version fetch giving up, whole process:"
for case in "stalled server|http://127.0.0.1:$port/stall" \
            "body one byte per 200 ms|http://127.0.0.1:$port/drip-body/200" \
            "headers one byte per 200 ms|http://127.0.0.1:$port/drip-headers/200" \
            "unreachable (connect never answered)|http://127.0.0.1:$blackhole_port/version" \
            "closed port|http://127.0.0.1:$closed_port/version"; do
  printf '  %-38s %6.2f s\n' "${case%%|*}" "$(seconds ctl fetch "${case#*|}")"
done
