#!/usr/bin/env bash
# PipeWire ends in the middle of an XAudio2 test: FAudio reports nothing, but
# its mixer stops, so kv3r ends the test at a later reading, says so, saves
# the readings taken and exits 1.
#   sound-server pipewire -- xaudio2_server_lost.sh KV3R WORK
set -u
kv3r=$1 work=$2
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
fail() { echo "FAIL: $*"; echo "--- output"; cat out.txt; exit 1; }

"$kv3r" --xaudio-output pipewire run --backend XAudio2 --method 2 --seconds 15 --buffers 4 \
  --2d 1 --3d-hardware 0 --3d-eax 0 >out.txt 2>&1 &
pid=$!
started=$SECONDS
until grep -q "Current mode: 2D" out.txt; do
  kill -0 "$pid" 2>/dev/null || fail "kv3r ended before its 2D test"
  [ $((SECONDS - started)) -lt 60 ] || { kill -INT "$pid"; wait "$pid"; fail "no 2D test within 60 s"; }
  sleep 0.1
done
# Past the settling wait, into the measured period.
sleep 4
# The servers sound-server started for this test (their runtime folder is
# this test's own), and no other.
servers=""
for server in $(pgrep -x pipewire) $(pgrep -x pipewire-pulse); do
  tr '\0' '\n' <"/proc/$server/environ" 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" &&
    servers="$servers $server"
done
[ -n "$servers" ] || fail "no PipeWire of this test's own"
# shellcheck disable=SC2086
kill -TERM $servers
for _ in $(seq 1 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  kill -INT "$pid"
  for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null
  fail "kv3r was still running 15 s after the server went away"
fi
wait "$pid"
status=$?
[ "$status" -eq 1 ] || fail "kv3r exited $status, not 1"
grep -q "went away during XAudio2 2D" out.txt || fail "kv3r did not say the server went away"
file=$(sed -n 's/^Results file: //p' out.txt)
[ -n "$file" ] && [ -f "$file" ] || fail "no results file"
readings=$(xmllint --xpath "count(//ResultsSet[TestMode='XAudio2 2D']/Result/Data)" "$file") || fail "$file does not parse"
[ "$readings" -ge 1 ] || fail "no XAudio2 2D readings saved"
echo "XAudio2 2D ended when the server went away, $readings readings saved"
