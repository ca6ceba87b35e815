#!/usr/bin/env bash
# Builds the native program and runs it with its defaults.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target kv3r >/dev/null
exec build/linux/src/app/kv3r devices --report "$@"
