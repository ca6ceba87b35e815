#!/usr/bin/env bash
# Builds both targets and runs both test suites, the native one also under
# the sanitizers. Run tools/setup.sh first.
# The Windows tests run under Wine: as the 32-bit program where this host
# can execute 32-bit code, otherwise as the 64-bit build of the same sources
# (the 32-bit program is still built, so both word sizes compile).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# The tests mostly wait (on 1 s measurements, servers, Wine), so twice as
# many run side by side as there are processors.
test_jobs=$((jobs * 2))

# Each step says how long the one before it took; the last line, the total.
step_name=""
step_start=$SECONDS
step() {
  if [ -n "$step_name" ]; then printf '(%s: %d s)\n' "$step_name" $((SECONDS - step_start)); fi
  step_name="$*"
  step_start=$SECONDS
  if [ -n "$step_name" ]; then printf '\n== %s ==\n' "$step_name"; fi
}
# What the Windows tests started under Wine (wineservers, Wine's services, X
# servers) is stopped at the end, also when a step fails.
stop_wine() {
  for build in windows windows64; do tools/wine-run --prefix "build/$build/wineprefix" --stop; done
}
# Nothing the suite started may outlive it: a leftover X server, wineserver
# or sound server would sit in the baseline of every later measurement.
# The processes it may start, by name; those already running are not ours.
watched='^(Xvfb|wineserver|wine|wine64|wine-preloader|wine64-preloade|winedevice.exe|services.exe|explorer.exe|plugplay.exe|rpcss.exe|svchost.exe|jackd|pipewire|pipewire-pulse|wireplumber|dbus-daemon|kv3r|kv3r.exe|Korvanta3RUzev.*|.*_tests(.exe)?)$'
watched_pids() { ps -e -o pid=,comm= | awk -v pattern="$watched" '$2 ~ pattern { print $1 }'; }
already=" $(watched_pids | tr '\n' ' ') "
leftovers() {
  local pid found=""
  for pid in $(watched_pids); do
    case "$already" in *" $pid "*) ;; *) found="$found $pid" ;; esac
  done
  echo "$found"
}
check_leftovers() {
  local left
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    left=$(leftovers)
    [ -z "$left" ] && { echo "Nothing the suite started is still running."; return 0; }
    sleep 0.5
  done
  echo "FAIL: still running after the suite:"
  # shellcheck disable=SC2086
  ps -o pid=,args= -p $left
  return 1
}
finish() {
  local status=$?
  stop_wine
  step
  check_leftovers || status=1
  printf '\n(all: %d s)\n' "$SECONDS"
  exit "$status"
}
trap finish EXIT

step "native Linux build"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
step "native Linux tests"
# The cases with a real PipeWire server get a second try: now and then a
# client library crashes inside itself when the server fails or refuses a
# connection: OpenAL Soft 1.19's pulse output in alcCreateContext (a core
# dump showed nothing of ours below that call), and once the XAudio2 run at
# a PipeWire server's start (not caught in a core dump). The server-loss
# cases all come along. A case that fails twice still fails the suite.
server_failure='^kv3r_server_loss_|^kv3r_through_pipewire$|^xaudio2_(pipewire|server_lost)_end_to_end$'
ctest --preset linux -j "$test_jobs" -E "$server_failure"
ctest --preset linux -j "$test_jobs" -R "$server_failure" --repeat until-pass:2
step "Debian package (install, run the installed kv3r, remove)"; tools/package-check.sh deb

# The native suite again under the sanitizers: memory and undefined
# behaviour, then data races.
for sanitizer in asan tsan; do
  step "native Linux build (linux-$sanitizer)"
  cmake --preset "linux-$sanitizer" >/dev/null
  cmake --build --preset "linux-$sanitizer" -j "$jobs"
  step "native Linux tests (linux-$sanitizer)"
  ctest --preset "linux-$sanitizer" -j "$test_jobs" -E "$server_failure"
  ctest --preset "linux-$sanitizer" -j "$test_jobs" -R "$server_failure" --repeat until-pass:2
done

# The results reader's fuzz target, briefly: it needs clang's libFuzzer.
step "fuzzing the results reader"
tools/fuzz-reader.sh 30

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  step "32-bit Windows build"
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j "$jobs"
  step "Windows tests under Wine (32-bit)"
  ctest --preset windows -j "$test_jobs"
else
  echo "32-bit programs cannot run here (kernel or Wine): the Windows tests run as the 64-bit build"
  # The 32-bit programs are still built, so that both word sizes compile.
  step "32-bit Windows build (the programs)"
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j "$jobs" --target Korvanta3RUzevo kv3r Korvanta3RUzevoDataAnalyzer
  step "64-bit Windows build"
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64 -j "$jobs"
  step "Windows tests under Wine (64-bit)"
  ctest --preset windows64 -j "$test_jobs"
fi
step "Windows ZIP (unpack, run its kv3r.exe under Wine)"; tools/package-check.sh zip
