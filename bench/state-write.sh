#!/usr/bin/env bash
# Writing the remembered state with a large image playlist under Wine:
# prints the state file's size and the time of one write (collect, text,
# safe write), best and median of the runs. The goal is under 50 ms for
# 10,000 entries, the time the window may be kept waiting.
#   bench/state-write.sh [BUILD_DIR] [COUNT]   (default 10000)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
win=$(cd "${1:-$here/build/win}" && pwd)
count=${2:-10000}
bench="$win/tests/win/skyloom-bench-state-write.exe"
[ -x "$bench" ] || { echo "build skyloom-bench-state-write first" >&2; exit 2; }

# shellcheck source=wine_bench.sh
source "$here/bench/wine_bench.sh"
wine "$bench" --runs 21 "$count" | tr -d '\r'
