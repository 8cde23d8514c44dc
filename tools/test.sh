#!/bin/bash
# The whole test run: installs what is missing, builds every preset, runs the
# native unit tests, the same under ASan/UBSan, each fuzz target for a bounded
# time, and the Wine tests of the i686 build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
fuzz_seconds=${QM_FUZZ_SECONDS:-20}
jobs=$(nproc)

tools/install-deps.sh

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

echo "== win32 under Wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"
source tools/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$root/build/win32"
ctest --preset win32
