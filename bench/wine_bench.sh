# Sourced by the benchmarks that run under Wine: a display and a prefix of
# their own beside the build. Needs `here` (the checkout) and `win` (the
# Windows build folder).
SKYLOOM_BUILD=${SKYLOOM_BUILD:-$(dirname "$win")}
# shellcheck source=../tools/common.sh
source "$here/tools/common.sh"
[ -n "${DISPLAY:-}" ] || start_xvfb
start_wine "${WINEPREFIX_NAME:-wineprefix-bench}"
