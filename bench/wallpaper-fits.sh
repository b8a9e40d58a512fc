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

# shellcheck source=timed_rounds.sh
source "$(dirname "$0")/timed_rounds.sh"
declare -A cmds times med
job="\"$tool\" wallpaper \"$in\" \"$work/out.bmp\" --threads $threads"
cmds["fit, one screen"]="$job --desktop 2560x1440"
cmds["fill, one screen"]="$job --monitors 2560x1440+0+0 --fit fill"
cmds["fill, two screens"]="$job --monitors 2560x1440+0+0,2560x1440+2560+0 --fit fill"
names=("fit, one screen" "fill, one screen" "fill, two screens")
run_rounds "$rounds" "${names[@]}"
print_medians "job (median of $rounds, $threads thread(s))" "${names[@]}"
echo
echo "fill / fit, one screen:   $(ratio "fill, one screen" "fit, one screen") (goal: at most 1.0)"
echo "two screens / one, fill:  $(ratio "fill, two screens" "fill, one screen") (goal: below 1.3)"
