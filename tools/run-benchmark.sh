#!/usr/bin/env bash
# Builds the native program and runs it with its defaults.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target kv3r >/dev/null
# The null output mixes in real time without a sound device, so this works anywhere.
exec build/linux/src/app/kv3r --openal-output null devices --report "$@"
