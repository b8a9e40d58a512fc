#!/usr/bin/env bash
# Thumbnails of 30 JPEGs of 6000x4000 (quality 90; one synthetic photo and
# 29 copies) for 100x100 cells, as the thumbnail grid makes them:
# skyloom-img thumbnail (one process for all files, reduced decode, plain
# stretch, 24-bit BMP out) beside vipsthumbnail (one process, PPM out, one
# thread) and djpeg -scale 1/8 (one process per file, BMP out), programs
# alternating in every round.
#   bench/thumbnail-vs-peers.sh [BUILD_DIR] [ROUNDS]
# Needs: libjpeg-turbo-progs, libvips-tools.
set -euo pipefail

build=${1:-build/native}
rounds=${2:-5}
count=30
bench="$build/bench/skyloom-bench-jpeg"
tool="$build/tools/skyloom-img/skyloom-img"
for exe in "$bench" "$tool"; do [[ -x "$exe" ]] || { echo "build $exe first" >&2; exit 2; }; done
for exe in /usr/bin/djpeg /usr/bin/vipsthumbnail; do [[ -x "$exe" ]] || { echo "install $exe" >&2; exit 2; }; done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/s" "$work/v" "$work/d"
"$bench" make-jpeg "$work/in/photo00.jpg" --size 6000x4000 --quality 90
for ((i = 1; i < count; i++)); do cp "$work/in/photo00.jpg" "$(printf '%s/in/photo%02d.jpg' "$work" "$i")"; done
files=("$work"/in/*.jpg)

export VIPS_CONCURRENCY=1

declare -A cmds times med
cmds[skyloom-img]="\"$tool\" thumbnail \"\${files[@]}\" --size 100x100 --out \"$work/s\""
cmds[vipsthumbnail]="/usr/bin/vipsthumbnail --size 100x100 -o \"$work/v/%s.ppm\" \"\${files[@]}\""
cmds["djpeg -scale 1/8"]="for f in \"\${files[@]}\"; do /usr/bin/djpeg -scale 1/8 -bmp -outfile \"$work/d/\${f##*/}.bmp\" \"\$f\"; done"
order=(skyloom-img vipsthumbnail "djpeg -scale 1/8")

for ((r = 0; r < rounds; r++)); do
  for name in "${order[@]}"; do
    start=$(date +%s%N)
    eval "${cmds[$name]}" || { echo "$name failed" >&2; exit 1; }
    times[$name]+="$(( $(date +%s%N) - start )) "
  done
done

median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
ratio() { awk -v a="${med[$1]}" -v b="${med[$2]}" 'BEGIN {printf "%.2f", a / b}'; }

echo "== $count JPEGs of 6000x4000, quality 90, thumbnails for 100x100 (one thread each)"
printf '%-20s %10s %14s\n' "job (median of $rounds)" "seconds" "ms per file"
for name in "${order[@]}"; do
  med[$name]=$(echo "${times[$name]}" | median | awk '{print $1 / 1e9}')
  printf '%-20s %10.3f %14.1f\n' "$name" "${med[$name]}" "$(awk -v s="${med[$name]}" -v n=$count 'BEGIN {print s * 1000 / n}')"
done
echo "skyloom-img / vipsthumbnail: $(ratio skyloom-img vipsthumbnail)," \
  "skyloom-img / djpeg -scale 1/8: $(ratio skyloom-img "djpeg -scale 1/8") (below 1.0 is faster)"
