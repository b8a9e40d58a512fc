#!/usr/bin/env bash
# The program's CPU use under Wine over 60 s each: idle with nothing
# running, idle with the image timer running (/start), a video wallpaper
# playing (for comparison; the device's player threads come and go, so this
# figure misses the time of those that ended), the same video paused by
# /pause and held by a full-screen window. Prints the CPU time of the program's
# process and of the wineserver as a percentage of one core.
#   bench/pause-cpu.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
win=$(cd "${1:-$here/build/win}" && pwd)
seconds=${2:-60}
exe="$win/app/skyloom.exe"
cover="$win/tests/win/skyloom-bench-fullscreen-window.exe"
[ -x "$exe" ] && [ -x "$cover" ] || { echo "build skyloom and skyloom-bench-fullscreen-window first" >&2; exit 2; }

# shellcheck source=wine_bench.sh
source "$here/bench/wine_bench.sh"

work=$(mktemp -d "$SKYLOOM_BUILD/pause-cpu.XXXXXX")
# A 10 s uncompressed clip, 160 x 120 at 10 frames a second, 32-bit frames.
python3 - "$work/clip.avi" <<'PY'
import struct, sys
w, h, n, fps = 160, 120, 100, 10
size = 4 * w * h
def chunk(i, b): return i + struct.pack('<I', len(b)) + b + (b'\0' if len(b) % 2 else b'')
def lst(t, b): return chunk(b'LIST', t + b)
avih = struct.pack('<14I', 1000000 // fps, size * fps, 0, 0x10, n, 0, 1, size, w, h, 0, 0, 0, 0)
strh = b'vidsDIB ' + struct.pack('<10I4H', 0, 0, 0, 1, fps, 0, n, size, 0xFFFFFFFF, 0, 0, 0, w, h)
strf = struct.pack('<3I2H6I', 40, w, h, 1, 32, 0, size, 0, 0, 0, 0)
movi, idx, off = b'', b'', 4
for f in range(n):
    row = bytearray(bytes((40 * f % 256, 200, 100, 0)) * w)
    x = (f * 8) % w
    row[4 * x:4 * (x + 8)] = b'\xff\xff\xff\0' * 8
    movi += chunk(b'00db', bytes(row) * h)
    idx += b'00db' + struct.pack('<3I', 0x10, off, size)
    off += 8 + size
body = b'AVI ' + lst(b'hdrl', chunk(b'avih', avih) + lst(b'strl', chunk(b'strh', strh) + chunk(b'strf', strf)))
body += lst(b'movi', movi) + chunk(b'idx1', idx)
open(sys.argv[1], 'wb').write(chunk(b'RIFF', body))
PY
printf 'Z:%s\r\n' "$(echo "$work/clip.avi" | tr / '\\')" >"$work/clip.vgl"

# CPU time in nanoseconds of all threads of a process (the scheduler's own
# count: finer than the 10 ms ticks of /proc/PID/stat).
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ sum += $1 } END { printf "%d", sum }'; }
# The Wine process running this build's program (its command line names
# the exe by its path) and the wineserver of this prefix.
program_pid() {
  local pid
  for pid in $(pgrep -f 'skyloom\.exe'); do
    tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | head -1 | tr '\\' / | grep -qi "${exe#/}$" && { echo "$pid"; return; }
  done
}
server_pid() {
  local pid
  for pid in $(pgrep wineserver); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$pid"; return; }
  done
}
measure() {
  local name=$1 pid server a b s t
  pid=$(program_pid)
  server=$(server_pid)
  [ -n "$pid" ] && [ -n "$server" ] || { echo "the program or its wineserver is not running" >&2; exit 1; }
  a=$(cpu_ns "$pid"); s=$(cpu_ns "$server")
  sleep "$seconds"
  b=$(cpu_ns "$pid"); t=$(cpu_ns "$server")
  awk -v n="$name" -v p=$((b - a)) -v w=$((t - s)) -v sec="$seconds" \
    'BEGIN { printf "%-32s program %6.3f %% (%.1f ms)  wineserver %6.3f %%  (%d s)\n", n, p/1e7/sec, p/1e6, w/1e7/sec, sec }'
}

# Starts the program with the arguments and lets it settle; hands a
# switch to it; ends it.
start_program() {
  wine "$exe" "$@" >/dev/null 2>&1 &
  program=$!
  sleep 10
}
hand_over() {
  wine "$exe" "$1" >/dev/null 2>&1
  sleep 3
}
end_program() {
  wine "$exe" /exit >/dev/null 2>&1 || true
  wait "$program" || true
}

# A fresh program for the idle figures: a video leaves its own window
# behind (where the desktop has none, as under Wine). /fresh: what an
# earlier run left remembered (a running timer) stays out.
start_program /fresh /hide
measure "idle, nothing running"
hand_over /start
measure "idle, image timer running"
end_program

start_program /fresh "$work/clip.vgl" /checkall /startvideo
measure "video playing"
hand_over /pause
measure "video paused by /pause"
hand_over /resume
wine "$cover" >/dev/null 2>&1 &
cover_pid=$!
sleep 3
measure "video held: full-screen window"
kill "$cover_pid"
wait "$cover_pid" || true
end_program
rm -rf "$work"
