#!/bin/sh
# Runs one fuzz target for a number of seconds from its seed corpus.
#   fuzz/run.sh TARGET SECONDS   (TARGET: fuzz_bmp, fuzz_ico, fuzz_cur, fuzz_detect,
#   fuzz_jpeg, fuzz_png, fuzz_html, fuzz_fax, fuzz_gif, fuzz_gif_lzw,
#   fuzz_tiff, fuzz_tiff_lzw, fuzz_state)
# BUILD_DIR overrides the build folder (default build/fuzz). New inputs go
# to a scratch folder; the seeds in fuzz/corpus/ are left as they are.
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 TARGET SECONDS" >&2
  exit 2
fi
target=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
build=${BUILD_DIR:-$here/../build/fuzz}
binary=$build/fuzz/$target
seeds=$here/corpus/${target#fuzz_}
if [ ! -x "$binary" ]; then
  echo "$binary not built: ninja -C $build $target" >&2
  exit 2
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A single allocation above 64 MB is a finding: the targets fill rasters of
# at most 16 M pixels (48 MB), so anything bigger is scratch sized by a
# forged header rather than by the data.
"$binary" -max_total_time="$seconds" -rss_limit_mb=2560 -malloc_limit_mb=64 -timeout=10 \
  -artifact_prefix="$build/$target-" "$scratch" "$seeds"
