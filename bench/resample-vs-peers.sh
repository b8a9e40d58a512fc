#!/usr/bin/env bash
# The wallpaper job (6000x4000 24-bit BMP -> 2560 wide BMP) beside three
# well-known peers, single-threaded, runs alternating in one session.
#   bench/resample-vs-peers.sh [BUILD_DIR] [ROUNDS]
# Needs: imagemagick, libvips-tools, python3-pil (Debian packages).
set -euo pipefail

build=${1:-build/native}
rounds=${2:-7}
bench="$build/bench/skyloom-bench-resample"
tool="$build/tools/skyloom-img/skyloom-img"
[[ -x "$bench" ]] || { echo "build $bench first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
in="$work/in.bmp"
"$bench" make-bmp "$in" --size 6000x4000

# Everyone pinned to one thread (Skyloom through --threads 1); Pillow
# resizes on one thread anyway.
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1 VIPS_CONCURRENCY=1

declare -A cmds
order=()
add() { order+=("$1"); cmds[$1]=$2; }
if [[ -x "$tool" ]]; then
  wallpaper="\"$tool\" wallpaper \"$in\" \"$work/s.bmp\" --desktop 2560x1440 --threads 1"
  add "skyloom-img Lanczos3" "$wallpaper --filter Lanczos3"
  add "skyloom-img Bell" "$wallpaper --filter Bell"
fi
add "driver Lanczos3" "\"$bench\" wallpaper \"$in\" \"$work/d.bmp\" --width 2560 --filter Lanczos3 --threads 1"
add "driver Bell" "\"$bench\" wallpaper \"$in\" \"$work/d.bmp\" --width 2560 --filter Bell --threads 1"
add "ImageMagick" "/usr/bin/convert \"$in\" -filter Lanczos -resize 2560x BMP3:\"$work/m.bmp\""
add "libvips" "/usr/bin/vips resize \"$in\" \"$work/v.ppm\" 0.42667 --kernel lanczos3"
add "Pillow" "/usr/bin/python3 -c 'import sys; from PIL import Image; im = Image.open(sys.argv[1]); \
im.resize((2560, round(im.height * 2560 / im.width)), Image.LANCZOS).save(sys.argv[2])' \"$in\" \"$work/p.bmp\""

# shellcheck source=timed_rounds.sh
source "$(dirname "$0")/timed_rounds.sh"
declare -A times med
run_rounds "$rounds" "${order[@]}"
print_medians "job (median of $rounds)" "${order[@]}"

echo
echo "ratios (Skyloom / peer; below 1.0 is faster):"
for ours in "${order[@]}"; do
  [[ $ours == skyloom-img* || $ours == driver* ]] || continue
  line=$(printf '%-22s' "$ours")
  for peer in ImageMagick libvips Pillow; do
    line+=$(awk -v a="${med[$ours]}" -v b="${med[$peer]}" -v p="$peer" 'BEGIN {printf "  %s %.2f", p, a / b}')
  done
  echo "$line"
done
