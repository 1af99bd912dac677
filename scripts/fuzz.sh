#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build folder and runs each one for a
# bounded time, starting from its committed seed corpus. A finding fails the run; the input
# that caused it is left in the findings folder.
#
#   scripts/fuzz.sh [seconds per target]      (default 20)
# Environment: ZV_FUZZ_BUILD_DIR (default build-fuzz), ZV_FUZZ_WORK_DIR (default
# <build>/fuzz-work: the corpus the runs grow and their findings).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build_dir=${ZV_FUZZ_BUILD_DIR:-build-fuzz}
targets=(fuzz_scan_list fuzz_profile_store fuzz_advanced_settings fuzz_service_requests)

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DZV_BUILD_FUZZERS=ON -DZV_BUILD_TESTS=OFF -DZV_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" --target zv_fuzzers
work_dir=${ZV_FUZZ_WORK_DIR:-$build_dir/fuzz-work}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
failed=0
for target in "${targets[@]}"; do
  corpus="$work_dir/corpus/$target"
  findings="$work_dir/findings/$target"
  mkdir -p "$corpus" "$findings"
  log="$work_dir/$target.log"
  echo "== $target: ${seconds}s"
  # New inputs go into the work corpus; the committed seeds are only read.
  if "$build_dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$target" \
      >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$log" || true
  else
    echo "$target: FINDING (input in $findings, log in $log)"
    grep -E 'ERROR|SUMMARY|violated|runtime error|Assertion' "$log" | head -5 || true
    failed=1
  fi
done
exit $failed
