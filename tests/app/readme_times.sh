#!/usr/bin/env bash
# The README's time for its first command, held to the program: a default
# run with 1 s tests gives what each test costs beyond its measured seconds
# (settling, start-up, the analyzer); the default run's length follows from
# it, and the README's "about N min of measuring" must lie within half of
# that either way.
#   readme_times.sh KV3R README WORK
set -u
kv3r=$1 readme=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
fail() { echo "FAIL: $*"; exit 1; }

stated=$(grep -m1 'tools/run-benchmark.sh' "$readme" | sed -n 's/.*about \([0-9]\+\) min of measuring.*/\1/p')
[ -n "$stated" ] || fail "the README's first command states no \"about N min of measuring\""
seconds=$("$kv3r" run --help | sed -n 's/^ *--seconds [^=]*=\([0-9]\+\).*/\1/p')
[ -n "$seconds" ] || fail "kv3r run --help gives no default for --seconds"

# What tools/run-benchmark.sh runs, with 1 s tests.
start=$(date +%s%N)
"$kv3r" --openal-output null run --seconds 1 >out.txt 2>&1
status=$?
end=$(date +%s%N)
[ "$status" -eq 0 ] || [ "$status" -eq 3 ] || { cat out.txt; fail "kv3r run ended with $status"; }
modes=$(sed -n 's/^Modes:\([^;]*\);.*/\1/p' out.txt | wc -w)
[ "$modes" -gt 0 ] || { cat out.txt; fail "no Modes: line"; }
tests=$((modes + 1))  # and the empty test
awk -v elapsed=$(((end - start) / 1000000)) -v tests=$tests -v seconds="$seconds" -v stated="$stated" 'BEGIN {
  predicted = elapsed / 1000 + tests * (seconds - 1)
  printf "%d tests of %d s: about %.0f s of measuring; the README says about %d min\n", tests, seconds, predicted, stated
  if (predicted > stated * 60 * 1.5 || predicted < stated * 60 * 0.5) {
    printf "FAIL: the README'"'"'s time is off by more than half: write about %.0f min\n", predicted / 60
    exit 1
  }
}'
