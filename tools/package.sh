#!/usr/bin/env bash
# Builds the Release program (optimised, no debug information) and writes the
# shipped files to dist/: Skyloom-Setup-VERSION.exe (NSIS), the portable zip
# Skyloom-VERSION-portable.zip, SHA256SUMS of both, and skyloom-VERSION.debug
# with the symbols for reading crash addresses. The version is the CMake
# project version. Installs what is missing first, as the other scripts do.
set -euo pipefail
source "$(dirname "$0")/common.sh"
release="$build/release"
dist=${SKYLOOM_DIST:-$here/dist}

bash "$here/tools/bootstrap.sh"
bash "$here/tools/build-deps.sh" "$build/win/deps/prefix"
log "building the Release program"
cmake -S "$here" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DSKYLOOM_DEPS_PREFIX="$build/win/deps/prefix" >"$build/release-configure.log" 2>&1 ||
  { cat "$build/release-configure.log"; exit 1; }
ninja -C "$release" -j "$jobs" skyloom >"$build/release-build.log" 2>&1 ||
  { tail -n 60 "$build/release-build.log"; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$release/CMakeCache.txt")
objcopy=$(sed -n 's/^CMAKE_OBJCOPY:FILEPATH=//p' "$release/CMakeCache.txt")
log "packaging Skyloom $version"
bash "$here/packaging/make-dist.sh" "$release/app/skyloom.exe" "$release/app/artwork/skyloom.ico" \
  "$version" "$dist" "$objcopy" >/dev/null
log "wrote $dist:"
(cd "$dist" && ls -l "Skyloom-Setup-$version.exe" "Skyloom-$version-portable.zip" "skyloom-$version.debug" SHA256SUMS)
