#!/bin/bash
# The whole test run: installs what is missing, builds every preset, runs the
# native unit tests, the same under ASan/UBSan, each fuzz target for a bounded
# time, the static checks of both Windows builds' deliverables with their
# sizes (the shipped 32-bit build's within its budget), and the Wine tests: of
# the 64-bit build always, of the 32-bit build (what ships) wherever this
# machine can run 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
fuzz_seconds=${QM_FUZZ_SECONDS:-20}
jobs=$(nproc)

tools/install-deps.sh
source tools/wine-env.sh
if wine_can_run_win32; then
  wine_builds="win64 win32"
  echo "This machine runs 32-bit and 64-bit Windows programs under Wine: the Wine tests of both builds run."
else
  wine_builds="win64"
  echo "This machine cannot run 32-bit programs: the Wine tests run for the 64-bit build only; the 32-bit build is built and checked statically."
fi

# Windows code only in win32/ folders, no include reaching up a layer.
echo "== layout"
tools/check-layout.sh

echo "== native"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native

echo "== native-asan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j"$jobs"
ctest --preset native-asan

echo "== fuzz (${fuzz_seconds}s each)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
for fuzzer in build/fuzz/fuzz_*; do
  [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue
  corpus="build/fuzz/corpus/$(basename "$fuzzer")"
  mkdir -p "$corpus"
  echo "-- $(basename "$fuzzer")"
  "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
done

for build in win32 win64; do
  echo "== $build: build and static checks of the deliverables"
  cmake --preset "$build" >/dev/null
  cmake --build --preset "$build" -j"$jobs"
  tools/check-deliverables.sh "build/$build"
  if [ "$build" = win32 ]; then
    echo "-- sizes of the shipped build, each within its budget"
    tools/size-report.sh "build/$build" --budget
  else
    echo "-- sizes"
    tools/size-report.sh "build/$build"
  fi
done

# wine_tests BUILD: the build's Wine tests in a session of their own. Both
# builds' sessions run side by side: the tests mostly wait on real timers.
wine_tests() {
  local build=$1
  source tools/wine-session.sh
  trap wine_session_stop EXIT
  wine_session_start "$root/build/$build"
  ctest --preset "$build"
}

# The thousand band cycles run in full once; where both builds run, the
# 64-bit one repeats them a hundred times, which still shows a leak.
declare -A cycles=([win64]=1000 [win32]=1000)
[ "$wine_builds" = "win64" ] || cycles[win64]=100

echo "== Wine tests of: $wine_builds"
declare -A pids
for build in $wine_builds; do
  log="build/$build/wine-tests.log"
  echo "-- $build: running, output in $log"
  (QM_BAND_CYCLES=${cycles[$build]} wine_tests "$build") >"$log" 2>&1 &
  pids[$build]=$!
done
failed=""
for build in $wine_builds; do
  status=0
  wait "${pids[$build]}" || status=$?
  echo "== Wine tests of $build (exit $status)"
  cat "build/$build/wine-tests.log"
  [ "$status" -eq 0 ] || failed="$failed $build"
done
if [ -n "$failed" ]; then
  echo "Wine tests failed in:$failed" >&2
  exit 1
fi
echo "All tests passed; Wine tests ran for: $wine_builds"
