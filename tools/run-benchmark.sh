#!/usr/bin/env bash
# Builds the native program and runs the benchmark with its defaults: the
# empty baseline and every mode the device offers, 60 s each, on the first
# device. Extra arguments go to `kv3r run` (see `kv3r run --help`). The
# results file and the debug log are written to the current directory.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
(
  cd "$root"
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j "$(nproc)" --target kv3r >/dev/null
)
# The null output mixes in real time without a sound device, so this works anywhere.
exec "$root/build/linux/src/app/kv3r" --openal-output null run "$@"
