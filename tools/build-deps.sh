#!/usr/bin/env bash
# Cross-compiles the Windows build's static dependencies (libjpeg-turbo,
# libpng, GoogleTest) from Debian's source packages into PREFIX.
# zlib comes from Debian's libz-mingw-w64-dev. Each library is built once;
# a stamp file per library makes later runs a no-op.
set -euo pipefail

prefix=${1:?usage: build-deps.sh PREFIX}
here=$(cd "$(dirname "$0")/.." && pwd)
toolchain="$here/cmake/mingw-w64-x86_64.cmake"
work="$prefix/../src"
jobs=${SKYLOOM_JOBS:-2}
mkdir -p "$prefix" "$work"

log() { printf '[deps] %s\n' "$*"; }

# Unpacks Debian source package $1 (patches applied) and prints its folder.
unpack() {
  local pkg=$1
  (cd "$work" && apt-get source -qq "$pkg" >/dev/null 2>&1) || {
    echo "apt-get source $pkg failed: is the deb-src entry present (tools/bootstrap.sh)?" >&2
    exit 1
  }
  find "$work" -maxdepth 1 -mindepth 1 -type d -name "${2}-*" | sort | tail -n 1
}

build_cmake() {
  local name=$1 srcdir=$2; shift 2
  local bdir="$work/build-$name"
  cmake -S "$srcdir" -B "$bdir" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix;/usr/x86_64-w64-mingw32" \
    "$@" >"$work/$name.configure.log" 2>&1 || { cat "$work/$name.configure.log" >&2; exit 1; }
  cmake --build "$bdir" -j "$jobs" >"$work/$name.build.log" 2>&1 || { tail -n 40 "$work/$name.build.log" >&2; exit 1; }
  cmake --install "$bdir" >/dev/null
}

once() {
  local name=$1; shift
  if [ -f "$prefix/.$name.done" ]; then return; fi
  log "building $name"
  "$@"
  touch "$prefix/.$name.done"
}

jpeg() {
  local src; src=$(unpack libjpeg-turbo libjpeg-turbo)
  build_cmake libjpeg-turbo "$src" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_SIMD=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF -DREQUIRE_SIMD=ON
}

png() {
  local src; src=$(unpack libpng1.6 libpng1.6)
  build_cmake libpng "$src" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DPNG_TOOLS=OFF -DSKIP_INSTALL_PROGRAMS=ON \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include
}

gtest() {
  local src; src=$(unpack googletest googletest)
  build_cmake googletest "$src" -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF
}

once libjpeg-turbo jpeg
once libpng png
once googletest gtest
log "ready in $prefix"
