#!/usr/bin/env bash
# Renders VELO's control gallery under Xvfb to PNG files for review:
#
#   scripts/velo-gallery.sh [build-dir] [output-dir]
#
# Builds velo-gallery (a developer tool, never staged in <build>/bin), runs
# it in the build's Wine environment and leaves gallery.png (the whole
# screen area: dialog, shadow, balloon, tooltip, pop-up) and
# gallery-dialog.png (the dialog with its shadow) in the output folder
# (default <build>/gallery). The README's pictures are docs/velo-gallery*.png,
# copied from there by hand after review.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
out=${2:-$build/gallery}
mkdir -p "$out"
out=$(cd "$out" && pwd)

cmake --build "$build" --target velo-gallery
"$repo/tools/wine-env" run "$build/wine" "$build/tools/velo-gallery/velo-gallery.exe" "Z:${out//\//\\}"
ls -l "$out"/gallery*.png
