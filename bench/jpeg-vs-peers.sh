#!/usr/bin/env bash
# The JPEG reader and the whole wallpaper path on a 6000x4000 JPEG
# (quality 90), single-threaded, programs alternating in every round.
#   bench/jpeg-vs-peers.sh [BUILD_DIR] [ROUNDS]
# 1. Full-size decode: djpeg of the same library writing to /dev/null
#    (process time) beside the engine's reader: one decode per process into
#    a fresh raster (process time), and the best of three decodes into a
#    reused raster, as the preview view's raster is reused (in-process
#    time: the raster's pages are then already mapped).
# 2. skyloom-img wallpaper (2560 wide, Lanczos3 and Bell) beside ImageMagick,
#    libvips and Pillow doing the same resize.
# Needs: libjpeg-turbo-progs, imagemagick, libvips-tools, python3-pil.
set -euo pipefail

build=${1:-build/native}
rounds=${2:-7}
bench="$build/bench/skyloom-bench-jpeg"
tool="$build/tools/skyloom-img/skyloom-img"
for exe in "$bench" "$tool"; do [[ -x "$exe" ]] || { echo "build $exe first" >&2; exit 2; }; done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
in="$work/in.jpg"
"$bench" make-jpeg "$in" --size 6000x4000 --quality 90

export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1 VIPS_CONCURRENCY=1

declare -A cmds times med
# Wall time of each command; names ending in "(in-process)" report their
# own time as "best: SECONDS".
run_rounds() {  # names...
  for ((r = 0; r < rounds; r++)); do
    for name in "$@"; do
      start=$(date +%s%N)
      out=$(eval "${cmds[$name]}" 2>&1) || { echo "$name failed" >&2; exit 1; }
      elapsed=$(( $(date +%s%N) - start ))
      if [[ $name == *"(in-process)" ]]; then
        elapsed=$(awk '/^best:/ {printf "%d", $2 * 1e9}' <<<"$out")
      fi
      times[$name]+="$elapsed "
    done
  done
}
median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)] / 1e9}'; }
report() {  # names...
  printf '%-30s %s\n' "job (median of $rounds)" "seconds"
  for name in "$@"; do
    med[$name]=$(echo "${times[$name]}" | median)
    printf '%-30s %.3f\n' "$name" "${med[$name]}"
  done
}
ratio() { awk -v a="${med[$1]}" -v b="${med[$2]}" 'BEGIN {printf "%.2f", a / b}'; }

echo "== full-size decode of a 6000x4000 JPEG, quality 90"
decoders=(djpeg "adapter, fresh raster" "adapter, reused (in-process)")
cmds[djpeg]="/usr/bin/djpeg -outfile /dev/null \"$in\""
cmds["adapter, fresh raster"]="\"$bench\" decode \"$in\""
cmds["adapter, reused (in-process)"]="\"$bench\" decode \"$in\" --repeat 3 --reuse"
run_rounds "${decoders[@]}"
report "${decoders[@]}"
echo "adapter / djpeg: reused raster $(ratio "adapter, reused (in-process)" djpeg)," \
  "fresh raster $(ratio "adapter, fresh raster" djpeg) (goal: at most 1.10)"
echo

echo "== wallpaper path: decode, resize to 2560 wide, write"
order=("skyloom-img Lanczos3" "skyloom-img Bell" ImageMagick libvips Pillow)
cmds["skyloom-img Lanczos3"]="\"$tool\" wallpaper \"$in\" \"$work/s.bmp\" --desktop 2560x1440 --filter Lanczos3"
cmds["skyloom-img Bell"]="\"$tool\" wallpaper \"$in\" \"$work/s.bmp\" --desktop 2560x1440 --filter Bell"
cmds[ImageMagick]="/usr/bin/convert \"$in\" -filter Lanczos -resize 2560x BMP3:\"$work/m.bmp\""
cmds[libvips]="/usr/bin/vips resize \"$in\" \"$work/v.ppm\" 0.42667 --kernel lanczos3"
cmds[Pillow]="/usr/bin/python3 -c 'import sys; from PIL import Image; im = Image.open(sys.argv[1]); \
im.resize((2560, round(im.height * 2560 / im.width)), Image.LANCZOS).save(sys.argv[2])' \"$in\" \"$work/p.bmp\""
run_rounds "${order[@]}"
report "${order[@]}"
echo
echo "ratios (Skyloom / peer; below 1.0 is faster):"
for ours in "skyloom-img Lanczos3" "skyloom-img Bell"; do
  printf '%-22s  ImageMagick %s  libvips %s  Pillow %s\n' "$ours" "$(ratio "$ours" ImageMagick)" \
    "$(ratio "$ours" libvips)" "$(ratio "$ours" Pillow)"
done
