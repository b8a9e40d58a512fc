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
rm -rf "$build/native/test-results" "$build/win/test-results" "$build/compare/test-results"

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
  targets=$(cd "$here/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//')
  # shellcheck disable=SC2086
  if CC=clang CXX=clang++ cmake -S "$here" -B "$build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
       -DSKYLOOM_FUZZ=ON -DSKYLOOM_SANITIZE=ON -DSKYLOOM_IMAGE_TESTS=OFF >"$build/fuzz-configure.log" 2>&1 &&
     ninja -C "$build/fuzz" -j "$jobs" $targets >"$build/fuzz-build.log" 2>&1; then
    # Each target runs on one core: the runs go on in the background while
    # the Windows build and its tests use the other one.
    (
      runs_status=0
      for target in $targets; do
        if BUILD_DIR="$build/fuzz" sh "$here/fuzz/run.sh" "$target" "$fuzz_seconds" >"$build/$target.log" 2>&1; then
          log "  $target: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second' "$build/$target.log" | tail -n 1)"
        else
          tail -n 30 "$build/$target.log"; log "FAILED: fuzzing $target"; runs_status=1
        fi
      done
      exit $runs_status
    ) >"$build/fuzz-runs.log" 2>&1 &
    fuzz_runs=$!
  else
    tail -n 40 "$build/fuzz-configure.log" "$build/fuzz-build.log"; fail "fuzz build"
  fi
fi

step "Windows build (mingw-w64)"
if build_windows >"$build/win-build.log" 2>&1; then
  # The display first: Wine's desktop process takes its graphics driver from
  # the environment of the first program that starts it.
  start_xvfb
  # The tests change the desktop theme, colours and files of their prefix:
  # a fresh one for every run, never the one Skyloom runs in.
  rm -rf "$build/wineprefix-tests"
  start_wine wineprefix-tests
  step "Windows tests under Wine"
  ctest --test-dir "$build/win" --output-on-failure -j 1 --timeout 600 || fail "Windows tests"
  step "native and Windows builds give the same bytes"
  bash "$here/tools/compare-builds.sh" "$build/native" "$build/win" "$build/compare/test-results" ||
    fail "native and Windows outputs differ"
else
  tail -n 60 "$build/win-build.log"; fail "Windows build"
fi

if [ -n "${fuzz_runs:-}" ]; then
  wait "$fuzz_runs" || status=1
  step "fuzz runs"
  cat "$build/fuzz-runs.log"
fi

expected=()
for dir in native win; do
  [ -f "$build/$dir/CTestTestfile.cmake" ] || continue
  while read -r name; do expected+=("$dir/$name"); done < <(ctest --test-dir "$build/$dir" -N 2>/dev/null |
    sed -n 's/^ *Test *#[0-9]*: *//p')
done
log "summary ($(( $(date +%s) - started ))s)"
python3 "$here/tools/summarize-tests.py" --dir="$build/native/test-results" --dir="$build/win/test-results" \
  --dir="$build/compare/test-results" \
  "${expected[@]}" || status=1
exit $status
