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
bin="$root/build/linux/src/app"
marker=$(mktemp)
trap 'rm -f "$marker"' EXIT
# The null output mixes in real time without a sound device, so this works anywhere.
status=0
"$bin/kv3r" --openal-output null run "$@" || status=$?
# The newest results file of this run, analysed to its end here (kv3r
# starts the analyzer too, but without waiting for it).
results=$(find . -maxdepth 1 -name '*KV3D_*.xml' -newer "$marker" -printf '%T@ %p\n' | sort -n | tail -n 1 | cut -d' ' -f2-)
if [ -n "$results" ]; then
  answer=$("$bin/Korvanta3RUzevoDataAnalyzer" "$results" | tail -n 1) || true
  case "$answer" in
    "Report: "*) echo "Report: $(cd "$(dirname "${answer#Report: }")" && pwd)/$(basename "${answer#Report: }")" ;;
  esac
fi
exit "$status"
