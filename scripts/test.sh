#!/usr/bin/env bash
# Installs what is missing, builds everything for Windows and runs every test:
# the Windows binaries under Wine, and the plain decision code and the Linux
# programs natively with address and undefined-behaviour sanitizers; then the
# Linux programs as shipped, their Debian package and its checks, and a short
# run of every fuzz target.
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

cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
cmake --build build-linux --target package >/dev/null
tests/packaging/deb_test.sh build-linux
# Same tree, same block: Ostrel.exe under Wine against ostreld.
tests/sensors/same_tree_test.sh build build-linux build-native

# Each fuzz target for a short fixed time (scripts/fuzz.sh runs them longer).
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz -j 1
