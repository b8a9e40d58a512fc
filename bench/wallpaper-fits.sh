#!/usr/bin/env bash
# The wallpaper job with the fits, whole (decode, fit, resample, write), on a
# 6000x4000 JPEG, runs alternating in one session:
#   "Fill" against today's "Fit" for one 2560x1440 screen, and two 2560x1440
#   screens (one tiled bitmap) against one, with "Fill".
#   bench/wallpaper-fits.sh [BUILD_DIR] [ROUNDS] [THREADS]
set -euo pipefail

build=${1:-build/native}
rounds=${2:-7}
threads=${3:-1}
bench="$build/bench/skyloom-bench-resample"
tool="$build/tools/skyloom-img/skyloom-img"
[[ -x "$bench" && -x "$tool" ]] || { echo "build $bench and $tool first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" make-bmp "$work/in.bmp" --size 6000x4000
"$tool" convert "$work/in.bmp" "$work/in.jpg"
in="$work/in.jpg"

declare -A cmds
order=()
add() { order+=("$1"); cmds[$1]=$2; }
job="\"$tool\" wallpaper \"$in\" \"$work/out.bmp\" --threads $threads"
add "fit, one screen" "$job --desktop 2560x1440"
add "fill, one screen" "$job --monitors 2560x1440+0+0 --fit fill"
add "fill, two screens" "$job --monitors 2560x1440+0+0,2560x1440+2560+0 --fit fill"

declare -A times
for ((r = 0; r < rounds; r++)); do
  for name in "${order[@]}"; do
    start=$(date +%s%N)
    eval "${cmds[$name]}" >/dev/null 2>&1 || { echo "$name failed" >&2; exit 1; }
    times[$name]+="$(( $(date +%s%N) - start )) "
  done
done

median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)] / 1e9}'; }
declare -A med
printf '%-22s %s\n' "job (median of $rounds, $threads thread(s))" "seconds"
for name in "${order[@]}"; do
  med[$name]=$(echo "${times[$name]}" | median)
  printf '%-22s %.3f\n' "$name" "${med[$name]}"
done
echo
awk -v a="${med[fill, one screen]}" -v b="${med[fit, one screen]}" \
  'BEGIN { printf "fill / fit, one screen:        %.3f (goal: at most 1.0)\n", a / b }'
awk -v a="${med[fill, two screens]}" -v b="${med[fill, one screen]}" \
  'BEGIN { printf "two screens / one, fill:       %.3f (goal: below 1.3)\n", a / b }'
