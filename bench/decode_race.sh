# Sourced by the decode benchmarks: times the engine's decode of one file
# against a peer's, each in its own process and alternating in every round,
# and prints the medians, MB/s of RGB output, the engine's best in-process
# time and the ratio.
#   decode_race BENCH FILE WIDTH HEIGHT ROUNDS PEER_NAME PEER_COMMAND
decode_race() {
  local bench=$1 in=$2 width=$3 height=$4 rounds=$5 peer=$6
  local -A cmds times med
  local names=("engine" "$peer") r name start best
  cmds["engine"]="\"$bench\" decode \"$in\""
  cmds["$peer"]=$7
  for ((r = 0; r < rounds; r++)); do
    for name in "${names[@]}"; do
      start=$(date +%s%N)
      eval "${cmds[$name]}" >/dev/null 2>&1 || { echo "$name failed" >&2; return 1; }
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
  echo "engine / $peer $(awk -v a="${med[engine]}" -v b="${med[$peer]}" 'BEGIN {printf "%.2f", a / b}')" \
    "(goal: below 1.0)"
}
