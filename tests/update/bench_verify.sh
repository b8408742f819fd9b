#!/usr/bin/env bash
# How long the install's signature check takes on a 20 MB package: the
# check alone (as `ostrelctl verify` measures it, the package already in
# memory) and the whole `ostrelctl verify` process under Wine, for both
# kinds of minisign signature; Debian's `minisign -V` natively as the
# yardstick. Median and range.
#
#   tests/update/bench_verify.sh <windows-build-dir> [runs]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-7}
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

package=$work/Software-1.0.1.2.zip
head -c $((20 * 1024 * 1024)) /dev/urandom >"$package"
ctl() { "$repo/tools/wine-env" run "$build/wine" "$build/bin/ostrelctl.exe" "$@" 2>/dev/null; }
seconds() { local t0 t1; t0=$(date +%s.%N); "$@" >/dev/null || true; t1=$(date +%s.%N); awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'; }
stats() { sort -n | awk '{ v[NR] = $1 } END { printf "median %.1f (min %.1f, max %.1f, %d runs)", v[int((NR + 1) / 2)], v[1], v[NR], NR }'; }

ctl help >/dev/null || true
for kind in prehashed legacy; do
  flag=; [ "$kind" = legacy ] && flag=-l
  rm -f "$package.minisig"
  minisign -S -q $flag -s "$here/keys/dev.key" -m "$package" </dev/null
  : >"$work/check" ; : >"$work/whole" ; : >"$work/native"
  for _ in $(seq "$runs"); do
    out=$(ctl verify "Z:${package//\//\\}")
    grep -q "verdict: verified" <<<"$out" || { echo "$out" >&2; exit 1; }
    sed -n 's/^time: read [0-9.]* ms, checked \([0-9.]*\) ms/\1/p' <<<"$out" >>"$work/check"
    seconds ctl verify "Z:${package//\//\\}" | awk '{ print $1 * 1000 }' >>"$work/whole"
    seconds minisign -V -q -p "$here/keys/dev.pub" -m "$package" | awk '{ print $1 * 1000 }' >>"$work/native"
  done
  echo "20 MB package, $kind signature, ms:"
  echo "  check in memory (Wine):        $(stats <"$work/check")"
  echo "  ostrelctl verify process:      $(stats <"$work/whole")"
  echo "  minisign -V (native, yardstick): $(stats <"$work/native")"
done
