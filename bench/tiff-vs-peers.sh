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

declare -A cmds times med
names=("engine" "tiffcp -c none")
cmds["engine"]="\"$bench\" decode \"$in\""
cmds["tiffcp -c none"]="/usr/bin/tiffcp -c none \"$in\" \"$work/out.tif\""
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
echo "engine / tiffcp $(awk -v a="${med[engine]}" -v b="${med["tiffcp -c none"]}" 'BEGIN {printf "%.2f", a / b}')" \
  "(goal: below 1.0)"
