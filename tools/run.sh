#!/usr/bin/env bash
# Sets up everything missing, builds Skyloom for Windows and starts it in a
# Wine virtual desktop (which paints the wallpaper Skyloom sets) on the
# current X display. Without a display it starts Xvfb, saves a screenshot of
# the desktop and the main window, and says where. Runs until interrupted.
# Arguments go to skyloom.exe (a list file, /next, ...).
set -euo pipefail
source "$(dirname "$0")/common.sh"
desktop=${SKYLOOM_DESKTOP:-1024x768}

bash "$here/tools/bootstrap.sh"
mkdir -p "$build"
log "building"
build_windows skyloom >"$build/win-build.log" 2>&1 || { tail -n 60 "$build/win-build.log"; exit 1; }
headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  start_xvfb "${desktop}x24"
fi
start_wine

exe="$build/win/app/skyloom.exe"
log "starting Skyloom on display $DISPLAY"
wine explorer "/desktop=Skyloom,$desktop" "$exe" "$@" &
skyloom_pid=$!
trap 'kill $skyloom_pid 2>/dev/null; stop_wine' EXIT INT TERM

if [ $headless -eq 1 ]; then
  sleep "${SKYLOOM_SCREENSHOT_DELAY:-8}"
  shot="$build/skyloom-desktop.png"
  if import -display "$DISPLAY" -window root "$shot" 2>/dev/null; then
    log "screenshot of the desktop and main window saved to $shot"
  else
    log "no screenshot could be taken"
  fi
fi
log "running; press Ctrl+C to stop"
wait $skyloom_pid
