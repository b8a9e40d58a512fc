#!/usr/bin/env bash
# The GIF reader on a 4000x3000 256-colour file beside ImageMagick's
# decode of the same file, single-threaded, programs alternating in every
# round. The GIF is made by ImageMagick from the synthetic photo (smooth
# gradients, shapes and noise; 256 colours without dithering), so the file
# is an independent encoder's. Every decode runs in its own process (wall
# time, start-up included): the engine into a fresh 24-bit raster,
# ImageMagick to raw RGB on /dev/null. The engine's best in-process time
# over several loads is printed as well.
#   bench/gif-vs-peers.sh [BUILD_DIR] [ROUNDS]
# Needs: imagemagick.
set -euo pipefail
source "$(dirname "$0")/decode_race.sh"

build=${1:-build/native}
rounds=${2:-7}
bench="$build/bench/skyloom-bench-gif"
[[ -x "$bench" ]] || { echo "build $bench first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1

width=4000 height=3000
"$bench" make-bmp "$work/photo.bmp" --size ${width}x${height}
convert "$work/photo.bmp" +dither -colors 256 "$work/in.gif"
in="$work/in.gif"
echo "== decode of a ${width}x${height} 256-colour GIF ($(( $(stat -c %s "$in") / 1024 )) KiB, $(identify -format '%k' "$in") colours)"

decode_race "$bench" "$in" $width $height $rounds "ImageMagick" "/usr/bin/convert -limit thread 1 \"$in\" rgb:/dev/null"
