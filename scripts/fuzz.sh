#!/usr/bin/env bash
# The long fuzzing run: builds the fuzz preset (clang, libFuzzer, ASan and
# UBSan) and runs every target for the given time, from its seeds and the
# corpus earlier runs left in build-fuzz/fuzz/corpus/. The test command runs
# the same targets for OSTREL_FUZZ_SECONDS (5 s) each.
#
#   scripts/fuzz.sh [seconds per target, default 600] [target...]
#
# A crash leaves build-fuzz/fuzz/crash-<target>-*; copy it into
# tests/fuzz/regressions/<target>/ so that the native tests replay it.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
seconds=${1:-600}
shift || true

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in build-fuzz/fuzz/fuzz_*; do targets+=("$(basename "$f" | sed 's/^fuzz_//')"); done
fi

total=0
status=0
for t in "${targets[@]}"; do
  corpus=build-fuzz/fuzz/corpus/$t
  mkdir -p "$corpus" "tests/fuzz/seeds/$t" "tests/fuzz/regressions/$t"
  log=build-fuzz/fuzz/$t.log
  if build-fuzz/fuzz/fuzz_"$t" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="build-fuzz/fuzz/crash-$t-" "$corpus" "tests/fuzz/seeds/$t" "tests/fuzz/regressions/$t" \
      >"$log" 2>&1; then
    result=clean
  else
    result="FAILED (see $log)"
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  total=$((total + ${runs:-0}))
  printf '%-16s %12s executions  %s\n' "$t" "${runs:-0}" "$result"
done
printf '%-16s %12s executions in %s s per target\n' total "$total" "$seconds"
exit $status
