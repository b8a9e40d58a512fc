#!/usr/bin/env bash
# The JPEG reader and the whole wallpaper path on a 6000x4000 JPEG
# (quality 90), programs alternating in every round.
#   bench/jpeg-vs-peers.sh [BUILD_DIR] [ROUNDS] [all|decode|wallpaper|threads]
# 1. Full-size decode: djpeg of the same library writing to /dev/null
#    (process time) beside the engine's reader: one decode per process into
#    a fresh raster (process time), and the best of three decodes into a
#    reused raster, as the preview view's raster is reused (in-process
#    time: the raster's pages are then already mapped).
# 2. skyloom-img wallpaper (2560 wide, Lanczos3 and Bell) beside ImageMagick,
#    libvips and Pillow doing the same resize, everyone on one thread.
# 3. The Lanczos3 wallpaper job on all cores: skyloom-img with its own
#    thread count beside libvips with its default threading, and both
#    pinned to one thread.
# Every job's peak memory (max RSS) is measured too.
# Needs: libjpeg-turbo-progs, imagemagick, libvips-tools, python3-pil, time.
set -euo pipefail

build=${1:-build/native}
rounds=${2:-7}
sections=${3:-all}
bench="$build/bench/skyloom-bench-jpeg"
tool="$build/tools/skyloom-img/skyloom-img"
for exe in "$bench" "$tool"; do [[ -x "$exe" ]] || { echo "build $exe first" >&2; exit 2; }; done
[[ -x /usr/bin/time ]] || { echo "install the time package (tools/bootstrap.sh)" >&2; exit 2; }
case $sections in all | decode | wallpaper | threads) ;; *) echo "unknown section: $sections" >&2; exit 2 ;; esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
in="$work/in.jpg"
"$bench" make-jpeg "$in" --size 6000x4000 --quality 90

# Everyone on one thread unless a job says otherwise (Skyloom through
# --threads 1).
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1 VIPS_CONCURRENCY=1

declare -A cmds times rss med
# Wall time and max RSS of each command; names ending in "(in-process)"
# report their own time as "best: SECONDS".
run_rounds() {  # names...
  for ((r = 0; r < rounds; r++)); do
    for name in "$@"; do
      start=$(date +%s%N)
      out=$(eval "/usr/bin/time -f %M -o \"$work/rss\" ${cmds[$name]}" 2>&1) || { echo "$name failed" >&2; exit 1; }
      elapsed=$(( $(date +%s%N) - start ))
      if [[ $name == *"(in-process)" ]]; then
        elapsed=$(awk '/^best:/ {printf "%d", $2 * 1e9}' <<<"$out")
      fi
      times[$name]+="$elapsed "
      rss[$name]+="$(tail -n 1 "$work/rss") "
    done
  done
}
median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
report() {  # names...
  printf '%-34s %8s %12s\n' "job (median of $rounds)" "seconds" "max RSS MB"
  for name in "$@"; do
    med[$name]=$(echo "${times[$name]}" | median | awk '{print $1 / 1e9}')
    printf '%-34s %8.3f %12.1f\n' "$name" "${med[$name]}" "$(echo "${rss[$name]}" | median | awk '{print $1 / 1024}')"
  done
}
ratio() { awk -v a="${med[$1]}" -v b="${med[$2]}" 'BEGIN {printf "%.2f", a / b}'; }

vips_lanczos="/usr/bin/vips resize \"$in\" \"$work/v.ppm\" 0.42667 --kernel lanczos3"
ours_lanczos="\"$tool\" wallpaper \"$in\" \"$work/s.bmp\" --desktop 2560x1440 --filter Lanczos3"

decode_section() {
  echo "== full-size decode of a 6000x4000 JPEG, quality 90"
  local decoders=(djpeg "adapter, fresh raster" "adapter, reused (in-process)")
  cmds[djpeg]="/usr/bin/djpeg -outfile /dev/null \"$in\""
  cmds["adapter, fresh raster"]="\"$bench\" decode \"$in\""
  cmds["adapter, reused (in-process)"]="\"$bench\" decode \"$in\" --repeat 3 --reuse"
  run_rounds "${decoders[@]}"
  report "${decoders[@]}"
  echo "adapter / djpeg: reused raster $(ratio "adapter, reused (in-process)" djpeg)," \
    "fresh raster $(ratio "adapter, fresh raster" djpeg) (goal: at most 1.10)"
}

wallpaper_section() {
  echo "== wallpaper path: decode, resize to 2560 wide, write (one thread each)"
  local order=("skyloom-img Lanczos3" "skyloom-img Bell" ImageMagick libvips Pillow)
  cmds["skyloom-img Lanczos3"]="$ours_lanczos --threads 1"
  cmds["skyloom-img Bell"]="\"$tool\" wallpaper \"$in\" \"$work/s.bmp\" --desktop 2560x1440 --filter Bell --threads 1"
  cmds[ImageMagick]="/usr/bin/convert \"$in\" -filter Lanczos -resize 2560x BMP3:\"$work/m.bmp\""
  cmds[libvips]="$vips_lanczos"
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
}

# The same Lanczos3 job with every program's own threading, then both
# pinned to one thread; libvips is freed from the pin with env -u.
threads_section() {
  echo "== wallpaper path, Lanczos3 to 2560 wide, on all $(getconf _NPROCESSORS_ONLN) CPUs and on one"
  local jobs=("skyloom-img, own threads" "libvips, default threads" "skyloom-img, 1 thread" "libvips, 1 thread")
  cmds["skyloom-img, own threads"]="$ours_lanczos"
  cmds["libvips, default threads"]="env -u VIPS_CONCURRENCY $vips_lanczos"
  cmds["skyloom-img, 1 thread"]="$ours_lanczos --threads 1"
  cmds["libvips, 1 thread"]="$vips_lanczos"
  run_rounds "${jobs[@]}"
  report "${jobs[@]}"
  echo "skyloom-img / libvips, all threads: $(ratio "skyloom-img, own threads" "libvips, default threads")" \
    "(goal: below 0.80)"
  echo "skyloom-img / libvips, one thread:  $(ratio "skyloom-img, 1 thread" "libvips, 1 thread")"
}

first=1
for section in decode wallpaper threads; do
  [[ $sections == all || $sections == "$section" ]] || continue
  ((first)) || echo
  first=0
  "${section}_section"
done
