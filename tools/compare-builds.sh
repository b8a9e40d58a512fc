#!/usr/bin/env bash
# The same input must give the same bytes from the native build and from
# the Windows build under Wine: runs `skyloom-img wallpaper` of both builds
# on real pictures with several filters and compares the files. Writes a
# JUnit report for the test summary.
#   tools/compare-builds.sh NATIVE_BUILD WIN_BUILD REPORT_DIR
set -uo pipefail
native=$1/tools/skyloom-img/skyloom-img
windows=$2/tools/skyloom-img/skyloom-img.exe
report_dir=$3
data=$(cd "$(dirname "$0")/../.." && pwd)/shared/testdata
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$report_dir"

pictures=(
  libjpeg-turbo-testimages/testorig.jpg
  libjpeg-turbo-testimages/testimgint.jpg
  pngsuite/basn2c08.png
  pngsuite/basn6a16.png
  bmpsuite/g/rgb24.bmp
  bmpsuite/g/pal8rle.bmp
  bmpsuite/g/pal1.bmp
  image-gif/samples/anim-gr.gif
  zigimg-test-suite/tiff/sample-rgb24-lzw.tiff
)
filters=(None Triangle Hermite Bell BSpline Lanczos3 Mitchell)
cases=() failures=0
for picture in "${pictures[@]}"; do
  for filter in "${filters[@]}"; do
    name="${picture//\//_}-$filter"
    out_native="$work/$name.native.bmp" out_win="$work/$name.win.bmp"
    "$native" wallpaper "$data/$picture" "$out_native" --desktop 1280x800 --filter "$filter" >/dev/null 2>&1
    wine "$windows" wallpaper "Z:$data/$picture" "Z:$out_win" --desktop 1280x800 --filter "$filter" </dev/null >/dev/null 2>&1
    if [ -s "$out_native" ] && cmp -s "$out_native" "$out_win"; then
      cases+=("<testcase classname=\"CompareBuilds\" name=\"$name\"/>")
    else
      failures=$((failures + 1))
      cases+=("<testcase classname=\"CompareBuilds\" name=\"$name\"><failure message=\"outputs differ\"/></testcase>")
      echo "differs: $picture with $filter"
    fi
  done
done
{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo "<testsuites tests=\"${#cases[@]}\" failures=\"$failures\" errors=\"0\" name=\"compare_builds\">"
  echo "<testsuite name=\"CompareBuilds\" tests=\"${#cases[@]}\" failures=\"$failures\">"
  printf '%s\n' "${cases[@]}"
  echo '</testsuite></testsuites>'
} >"$report_dir/compare_builds.xml"
echo "native and Windows builds: $(( ${#cases[@]} - failures )) of ${#cases[@]} outputs identical"
[ "$failures" -eq 0 ]
