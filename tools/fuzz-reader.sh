#!/usr/bin/env bash
# Builds the results reader's fuzz target with clang and runs it for the
# given number of seconds (default 30). Findings are left in build/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
compiler=$(command -v clang++-14 || command -v clang++ || true)
if [ -z "$compiler" ]; then
  echo "fuzz: no clang++, skipped"
  exit 0
fi
cmake -S src/analyzer/fuzz -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
cmake --build build/fuzz -j "$(nproc)"
mkdir -p build/fuzz/corpus
cd build/fuzz
# Leaks are the standard library's business here; a crash, a sanitizer
# report or a slow input fails the run.
ASAN_OPTIONS=detect_leaks=0 ./results_reader_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=65536 -print_final_stats=1 corpus ../../src/analyzer/fuzz/seeds
