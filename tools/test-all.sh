#!/usr/bin/env bash
# Builds both targets and runs both test suites. Run tools/setup.sh first.
# The Windows tests run under Wine: as the 32-bit program where this host
# can execute 32-bit code, otherwise as the 64-bit build of the same sources
# (the 32-bit program is still built, so both word sizes compile).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

step() { printf '\n== %s ==\n' "$*"; }

step "native Linux build"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
step "native Linux tests"
ctest --preset linux -j "$jobs"

step "32-bit Windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  step "Windows tests under Wine (32-bit)"
  ctest --preset windows -j "$jobs"
else
  echo "this kernel cannot execute 32-bit programs: the Windows tests run as the 64-bit build"
  step "64-bit Windows build"
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64 -j "$jobs"
  step "Windows tests under Wine (64-bit)"
  ctest --preset windows64 -j "$jobs"
fi
