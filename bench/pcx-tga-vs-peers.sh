#!/usr/bin/env bash
# The PCX and TGA readers on a 6000x4000 24-bit run-length file each,
# beside the decoders of ImageMagick and Pillow, single-threaded, programs
# alternating in every round. Every program decodes the whole picture in
# its own process (wall time, start-up included): the engine into a fresh
# raster, ImageMagick to its null writer, Pillow through Image.load().
#   bench/pcx-tga-vs-peers.sh [BUILD_DIR] [ROUNDS]
# Needs: imagemagick, python3-pil.
set -euo pipefail

build=${1:-build/native}
rounds=${2:-7}
bench="$build/bench/skyloom-bench-pcxtga"
[[ -x "$bench" ]] || { echo "build $bench first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1

# shellcheck source=timed_rounds.sh
source "$(dirname "$0")/timed_rounds.sh"
declare -A cmds times med

for ext in tga pcx; do
  in="$work/in.$ext"
  "$bench" make "$in" --size 6000x4000
  echo "== decode of a 6000x4000 24-bit run-length ${ext^^} ($(( $(stat -c %s "$in") / 1024 / 1024 )) MiB)"
  names=("engine $ext" "ImageMagick $ext" "Pillow $ext")
  cmds["engine $ext"]="\"$bench\" decode \"$in\""
  cmds["ImageMagick $ext"]="/usr/bin/convert \"$in\" null:"
  cmds["Pillow $ext"]="/usr/bin/python3 -c 'import sys; from PIL import Image; Image.open(sys.argv[1]).load()' \"$in\""
  run_rounds "$rounds" "${names[@]}"
  print_medians "decoder (median of $rounds)" "${names[@]}"
  echo "engine / ImageMagick $(ratio "engine $ext" "ImageMagick $ext"), engine / Pillow" \
    "$(ratio "engine $ext" "Pillow $ext") (goal: below 1.0 against both)"
  echo
done
