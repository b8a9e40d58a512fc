#!/usr/bin/env bash
# The TIFF reader on a 4000x3000 RGB file, LZW with the horizontal
# predictor, beside libtiff's own decode of the same file (`tiffcp -c none`,
# which decodes every strip and writes them uncompressed), single-threaded,
# programs alternating in every round. The file is compressed by libtiff
# (`tiffcp -c lzw:2`) from the synthetic photo (smooth gradients, shapes and
# noise), so the code stream is an independent encoder's. Every decode runs
# in its own process (wall time, start-up included): the engine into a
# fresh 24-bit raster. The engine's best in-process time over several loads
# is printed as well.
#   bench/tiff-vs-peers.sh [BUILD_DIR] [ROUNDS]
# Needs: libtiff-tools.
set -euo pipefail
source "$(dirname "$0")/decode_race.sh"

build=${1:-build/native}
rounds=${2:-7}
bench="$build/bench/skyloom-bench-tiff"
[[ -x "$bench" ]] || { echo "build $bench first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

width=4000 height=3000
"$bench" make "$work/photo.tif" --size ${width}x${height}
tiffcp -c lzw:2 "$work/photo.tif" "$work/in.tif"
in="$work/in.tif"
echo "== decode of a ${width}x${height} RGB TIFF, LZW + predictor 2 by tiffcp ($(( $(stat -c %s "$in") / 1024 )) KiB," \
  "$(tiffinfo "$in" 2>/dev/null | awk '/Rows\/Strip/ {print $2}') rows per strip)"

decode_race "$bench" "$in" $width $height $rounds "tiffcp -c none" "/usr/bin/tiffcp -c none \"$in\" \"$work/out.tif\""
