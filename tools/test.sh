#!/usr/bin/env bash
# Sets up everything missing, builds both configurations and runs every test:
# the portable core natively under ASan/UBSan, the fuzz targets for a while
# each, and the Windows build's tests under Wine (with Xvfb for the windows).
# Ends with one summary line: "tests: N passed, N failed".
set -uo pipefail
source "$(dirname "$0")/common.sh"
fuzz_seconds=${SKYLOOM_FUZZ_SECONDS:-20}
started=$(date +%s)
status=0
step() { log "$*"; }
fail() { log "FAILED: $*"; status=1; }

bash "$here/tools/bootstrap.sh" || exit 1
mkdir -p "$build"
rm -rf "$build/native/test-results" "$build/win/test-results"

step "native build (ASan + UBSan)"
if cmake -S "$here" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYLOOM_SANITIZE=ON \
     >"$build/native-configure.log" 2>&1 && ninja -C "$build/native" -j "$jobs" >"$build/native-build.log" 2>&1; then
  step "native tests"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$build/native" --output-on-failure -j 1 || fail "native tests"
else
  tail -n 40 "$build/native-configure.log" "$build/native-build.log"; fail "native build"
fi

if [ -f "$here/fuzz/CMakeLists.txt" ]; then
  step "fuzz targets (clang, ASan + UBSan, ${fuzz_seconds}s each)"
  if CC=clang CXX=clang++ cmake -S "$here" -B "$build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
       -DSKYLOOM_FUZZ=ON -DSKYLOOM_SANITIZE=ON -DSKYLOOM_IMAGE_TESTS=OFF >"$build/fuzz-configure.log" 2>&1 &&
     ninja -C "$build/fuzz" -j "$jobs" fuzz >"$build/fuzz-build.log" 2>&1; then
    SKYLOOM_FUZZ_BUILD="$build/fuzz" bash "$here/fuzz/run.sh" all "$fuzz_seconds" || fail "fuzzing"
  else
    tail -n 40 "$build/fuzz-configure.log" "$build/fuzz-build.log"; fail "fuzz build"
  fi
fi

step "Windows build (mingw-w64)"
if build_windows >"$build/win-build.log" 2>&1; then
  start_wine
  start_xvfb
  step "Windows tests under Wine"
  ctest --test-dir "$build/win" --output-on-failure -j 1 --timeout 600 || fail "Windows tests"
else
  tail -n 60 "$build/win-build.log"; fail "Windows build"
fi

expected=()
for dir in native win; do
  [ -f "$build/$dir/CTestTestfile.cmake" ] || continue
  while read -r name; do expected+=("$dir/$name"); done < <(ctest --test-dir "$build/$dir" -N 2>/dev/null |
    sed -n 's/^ *Test *#[0-9]*: *//p')
done
log "summary ($(( $(date +%s) - started ))s)"
python3 "$here/tools/summarize-tests.py" --dir="$build/native/test-results" --dir="$build/win/test-results" \
  "${expected[@]}" || status=1
exit $status
