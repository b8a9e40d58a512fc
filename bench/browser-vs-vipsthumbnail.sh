#!/usr/bin/env bash
# The thumbnail browser on a directory of 1,000 files: every picture format
# the engine reads (a synthetic 1920x1080 photo as JPEG, PNG, BMP, GIF, LZW
# TIFF, PCX, RLE TGA; a 256x144 icon and a 128x72 cursor) and two kinds of
# non-pictures (text, and a BMP named .jpg), round-robin, as hard links.
# - native: the known-image test on every file (skyloom-bench-known-image);
# - under Wine: the browser's refill, then the first screen of thumbnails
#   painted (skyloom-bench-browser-refill.exe), which lists the visible files;
# - vipsthumbnail --size 100x100 making the thumbnails of those same files
#   (one process, PPM out, VIPS_CONCURRENCY=1 like the grid's one thread;
#   cursors left out, which it cannot read).
# Prints the medians and the ratio first screen / vipsthumbnail.
#   bench/browser-vs-vipsthumbnail.sh [NATIVE_BUILD] [WIN_BUILD] [ROUNDS]
# Needs: imagemagick, libvips-tools, Wine and Xvfb (tools/bootstrap.sh).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
native=$(realpath "${1:-$here/build/bench-release}")
win=$(realpath "${2:-$here/build/win}")
rounds=${3:-7}
files=1000
jpeg_bench="$native/bench/skyloom-bench-jpeg"
known_bench="$native/bench/skyloom-bench-known-image"
browser_bench="$win/tests/win/skyloom-bench-browser-refill.exe"
for exe in "$jpeg_bench" "$known_bench" "$browser_bench"; do [[ -f "$exe" ]] || { echo "build $exe first" >&2; exit 2; }; done
for exe in /usr/bin/vipsthumbnail convert; do command -v "$exe" >/dev/null || { echo "install $exe" >&2; exit 2; }; done

work=$(mktemp -d /tmp/skyloom-browser-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
kinds="$work/kinds" dir="$work/pictures"
mkdir -p "$kinds" "$dir" "$work/v"

"$jpeg_bench" make-jpeg "$kinds/photo.jpg" --size 1920x1080 --quality 90 >/dev/null
convert "$kinds/photo.jpg" "$kinds/photo.png"
convert "$kinds/photo.jpg" "BMP3:$kinds/photo.bmp"
convert "$kinds/photo.jpg" +dither -colors 256 "$kinds/photo.gif"
convert "$kinds/photo.jpg" -compress lzw "$kinds/photo.tif"
convert "$kinds/photo.jpg" "$kinds/photo.pcx"
convert "$kinds/photo.jpg" -compress RLE "$kinds/photo.tga"
convert "$kinds/photo.jpg" -resize 256x256 "$kinds/photo.ico"
convert "$kinds/photo.jpg" -resize 128x128 "$kinds/small.ico"
# A cursor is an icon file of type 2 with hot spots in place of the planes
# and bit count.
python3 - "$kinds/small.ico" "$kinds/photo.cur" <<'PY'
import sys
b = bytearray(open(sys.argv[1], 'rb').read())
b[2] = 2
for i in range(b[4]):
    b[6 + 16 * i + 4:6 + 16 * i + 8] = bytes(4)
open(sys.argv[2], 'wb').write(b)
PY
echo "not a picture" >"$kinds/notes.txt"
cp "$kinds/photo.bmp" "$kinds/bmp-inside.jpg"
sources=("$kinds"/photo.{jpg,png,bmp,gif,tif,pcx,tga,ico,cur} "$kinds/notes.txt" "$kinds/bmp-inside.jpg")
for ((i = 0; i < files; i++)); do
  src=${sources[i % ${#sources[@]}]}
  ln "$src" "$dir/$((10000 + i)).${src##*.}"
done

echo "== $files files: ${#sources[@]} kinds round-robin (9 picture formats, 2 non-pictures)"
"$known_bench" "$dir" --runs "$rounds"

# shellcheck source=tools/common.sh
source "$here/tools/common.sh"
start_xvfb 1280x800x24
start_wine wineprefix-bench
trap 'stop_wine; rm -rf "$work"' EXIT
(cd "$win" && wine "$browser_bench" --runs "$rounds" --list "Z:$work/first.txt" "Z:$dir") | tr -d '\r' | tee "$work/wine.txt"
first_ms=$(sed -n 's/.*first screen painted \([0-9.]*\) ms.*/\1/p' "$work/wine.txt")

echo "on the first screen: $(tr -d '\r' <"$work/first.txt" | sed 's/.*\.//' | sort | uniq -c | xargs)"
mapfile -t visible < <(tr -d '\r' <"$work/first.txt" | sed -e 's/^Z://' -e 's|\\|/|g' | grep -v '\.cur$')
export VIPS_CONCURRENCY=1
convert -size 1x1 xc:gray "$work/one.png"
vips_median() {  # the median whole-process time of vipsthumbnail on the files given, in ms
  local times=() r start
  for ((r = 0; r < rounds; r++)); do
    start=$(date +%s%N)
    /usr/bin/vipsthumbnail --size 100x100 -o "$work/v/%s.ppm" "$@"
    times+=("$(($(date +%s%N) - start))")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)] / 1e6}'
}
vips_ms=$(vips_median "${visible[@]}")
echo "vipsthumbnail, the ${#visible[@]} visible files but cursors: median $vips_ms ms of $rounds runs" \
  "(whole process; on one 1x1 PNG: $(vips_median "$work/one.png") ms)"
both_ms=$(sed -n 's/.*both \([0-9.]*\) ms.*/\1/p' "$work/wine.txt")
ratio() { awk -v a="$1" -v b="$vips_ms" 'BEGIN {printf "%.2f", a / b}'; }
echo "first screen painted / vipsthumbnail: $(ratio "$first_ms"), refill and first screen / vipsthumbnail:" \
  "$(ratio "$both_ms") (below 1.0 is faster)"
