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

declare -A cmds times med
names=("engine" "ImageMagick")
cmds["engine"]="\"$bench\" decode \"$in\""
cmds["ImageMagick"]="/usr/bin/convert -limit thread 1 \"$in\" rgb:/dev/null"
for ((r = 0; r < rounds; r++)); do
  for name in "${names[@]}"; do
    start=$(date +%s%N)
    eval "${cmds[$name]}" >/dev/null 2>&1 || { echo "$name failed" >&2; exit 1; }
    times[$name]+="$(( $(date +%s%N) - start )) "
  done
done
median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)] / 1e9}'; }
mbps() { awk -v s="$1" -v b=$((width * height * 3)) 'BEGIN {printf "%.0f", b / s / 1e6}'; }

printf '%-28s %8s %12s\n' "decoder (median of $rounds)" "seconds" "MB/s (RGB)"
for name in "${names[@]}"; do
  med[$name]=$(echo "${times[$name]}" | median)
  printf '%-28s %8.3f %12s\n' "$name" "${med[$name]}" "$(mbps "${med[$name]}")"
done
best=$("$bench" decode "$in" --repeat 5 | awk '/^best:/ {print $2}')
printf '%-28s %8.3f %12s\n' "engine in-process (best of 5)" "$best" "$(mbps "$best")"
echo "engine / ImageMagick $(awk -v a="${med[engine]}" -v b="${med[ImageMagick]}" 'BEGIN {printf "%.2f", a / b}')" \
  "(goal: below 1.0)"
