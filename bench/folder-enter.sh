#!/usr/bin/env bash
# Entering a folder row of COUNT small pictures (BMP, GIF, JPEG, PNG, PCX, TGA,
# TIFF; deepest level 4): prints the best warm time and the memory the folder's
# list takes, natively (POSIX listing) and, when the Windows build has the
# program, under Wine (the program's own listing).
#   [NATIVE_BUILD=build/native-bench] bench/folder-enter.sh [COUNT]   (default 10000; needs ImageMagick)
# Time it in a build without the sanitizers.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/templates"
for format in bmp gif jpg png pcx tga tif; do
  convert -size 16x12 gradient:skyblue-green "$work/templates/sample.$format"
done
native="${NATIVE_BUILD:-$here/build/native}/bench/skyloom-bench-folder-enter"
[ -x "$native" ] || { echo "build skyloom-bench-folder-enter natively first" >&2; exit 2; }
"$native" make "$work/templates" "$work/pictures" "$count"
echo "native (POSIX listing):"
"$native" enter "$work/pictures" 5
win="$here/build/win"
exe="$win/tests/win/skyloom-bench-folder-enter.exe"
if [ -x "$exe" ]; then
  # shellcheck source=wine_bench.sh
  source "$here/bench/wine_bench.sh"
  trap 'stop_wine; rm -rf "$work"' EXIT  # the prefix's trap took the place of ours
  echo "Wine (FindFirstFileExW listing):"
  wine "$exe" enter "Z:$work/pictures" 5 | tr -d '\r'
fi
