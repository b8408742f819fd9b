#!/usr/bin/env bash
# The display's pace while the update server is slow, from a Windows build:
# the time from launch to the first report with a stalled server, the
# longest gap between reports while a manual check waits on that server,
# and while a 20 MB package comes over loopback. About 70 s.
#
#   scripts/bench_update_pace.sh            # build/
#   OSTREL_DEMO_BUILD=other-build scripts/bench_update_pace.sh
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
build=${OSTREL_DEMO_BUILD:-build}
case "$build" in /*) ;; *) build=$repo/$build ;; esac

cmake --build "$build" --target ui_window_test update_probe Ostrel hidsim sensorlib ostrel_skin VELO >/dev/null
state=$build/tests/update_service
tools/wine-env start "$build/wine"
python3 tests/update/update_server.py start "$state" "$build/tests/update_probe.exe" >/dev/null
end() {
  python3 "$repo"/tests/update/update_server.py stop "$state" || true
  "$repo"/tools/wine-env stop "$build/wine" || true
}
trap end EXIT
cd "$build/tests"
"$repo"/tools/wine-env run ../wine ./ui_window_test.exe --gtest_filter=UpdatePace.DISABLED_Figures \
  --gtest_also_run_disabled_tests | grep -E "report|gap|ended|download|OK|FAILED"
