# Sourced by the benchmark scripts: runs commands alternating in every round
# and prints their medians.
#   declare -A cmds times med; cmds[NAME]=COMMAND ...
#   run_rounds ROUNDS NAME...   appends each run's nanoseconds to times[NAME]
#   print_medians TITLE NAME... sets med[NAME] (seconds) and prints them
run_rounds() {
  local rounds=$1 r name start
  shift
  for ((r = 0; r < rounds; r++)); do
    for name in "$@"; do
      start=$(date +%s%N)
      eval "${cmds[$name]}" >/dev/null 2>&1 || { echo "$name failed" >&2; exit 1; }
      times[$name]+="$(( $(date +%s%N) - start )) "
    done
  done
}
median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)] / 1e9}'; }
ratio() { awk -v a="${med[$1]}" -v b="${med[$2]}" 'BEGIN {printf "%.2f", a / b}'; }
print_medians() {
  local title=$1 name
  shift
  printf '%-22s %s\n' "$title" "seconds"
  for name in "$@"; do
    med[$name]=$(echo "${times[$name]}" | median)
    printf '%-22s %.3f\n' "$name" "${med[$name]}"
  done
}
