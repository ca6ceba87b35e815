#!/usr/bin/env bash
# Builds the native program and runs the benchmark with its defaults: the
# empty baseline and every mode the device offers, 60 s each, on the first
# device. Extra arguments go to `kv3r run` (see `kv3r run --help`). The
# results file, its HTML report and the debug log are written to the
# current directory; the last line names the report.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
(
  cd "$root"
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j "$(nproc)" --target kv3r Korvanta3RUzevoDataAnalyzer >/dev/null
)
# The null output mixes in real time without a sound device, so this works
# anywhere. kv3r runs the analyzer beside it on the results file: its last
# line names the HTML report.
exec "$root/build/linux/src/app/kv3r" --openal-output null run "$@"
