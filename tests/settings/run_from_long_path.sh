#!/usr/bin/env bash
# Runs a test executable from a folder whose Windows path is longer than
# MAX_PATH, so that code asking for its own module path meets a long one.
#
#   run_from_long_path.sh <wine-env> <state-dir> <exe> [test arguments...]
set -euo pipefail
wine_env=$1 state=$2 exe=$3
shift 3
folder=$(dirname "$exe")/long-path
for i in $(seq 1 12); do folder=$folder/a-rather-long-folder-name-$i; done
mkdir -p "$folder"
cp "$exe" "$folder/"
echo "running from a folder of ${#folder} characters"
exec "$wine_env" run "$state" "$folder/$(basename "$exe")" "$@"
