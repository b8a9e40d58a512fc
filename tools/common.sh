# Shared by run.sh and test.sh: build folders, the Wine prefix, Xvfb.
# shellcheck shell=bash
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SKYLOOM_BUILD:-$here/build}
jobs=${SKYLOOM_JOBS:-2}

log() { printf '[skyloom] %s\n' "$*"; }

# Compiles go through ccache where it is installed (the set-up installs it):
# a later run in any clone on this machine compiles only what changed. Paths
# are hashed relative to the checkout, so clones in other folders share it.
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$here} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi

build_windows() {
  bash "$here/tools/build-deps.sh" "$build/win/deps/prefix"
  cmake -S "$here" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" >"$build/win-configure.log" 2>&1 \
    || { cat "$build/win-configure.log"; return 1; }
  ninja -C "$build/win" -j "$jobs" "$@"
}

# A Wine prefix inside the build folder (start_wine NAME) and one
# wineserver kept alive for the whole run.
start_wine() {
  export WINEPREFIX="$build/${1:-wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating the Wine prefix"
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w || true  # let the set-up's own server end first
  fi
  wineserver -p </dev/null >/dev/null 2>&1 || true
  # Start the prefix's services now, away from our output: they outlive the
  # programs that start them and would hold a pipe on our stdout open.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  trap stop_wine EXIT
}

stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# Starts Xvfb on a free display and exports DISPLAY.
start_xvfb() {
  local size=${1:-1280x800x24} n
  for n in $(seq 91 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "$size" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
  done
  echo "could not start Xvfb" >&2
  return 1
}
