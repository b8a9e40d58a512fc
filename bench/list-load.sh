#!/usr/bin/env bash
# Loading large gallery files into the main window's list under Wine:
# prints the best time of each count and the time per entry.
#   bench/list-load.sh [BUILD_DIR] [COUNT...]   (default 200000 400000 2000000)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
win=$(cd "${1:-$here/build/win}" && pwd)
shift || true
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(200000 400000 2000000)
bench="$win/tests/win/skyloom-bench-list-load.exe"
[ -x "$bench" ] || { echo "build skyloom-bench-list-load first" >&2; exit 2; }

# shellcheck source=wine_bench.sh
source "$here/bench/wine_bench.sh"
wine "$bench" --runs 3 "${counts[@]}" | tr -d '\r'
