#!/usr/bin/env bash
# Installs what is missing, builds everything for Windows and runs every test:
# the Windows binaries under Wine, and the plain decision code natively with
# address and undefined-behaviour sanitizers.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

scripts/setup.sh

jobs=$(nproc)
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
ctest --preset windows -j 1

cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"
