#!/usr/bin/env bash
# The JACK server ends in the middle of a test: kv3r ends the test at its
# next reading, says so, runs nothing more, saves the readings taken in a
# file every XML parser reads, and exits 1.
#   sound-server jack -- jack_server_lost.sh KV3R WORK
set -u
kv3r=$1 work=$2
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
fail() { echo "FAIL: $*"; echo "--- output"; cat out.txt; exit 1; }
# A server killed under its clients leaves their semaphores behind: ours go
# with the test (the server's name is this test's own).
trap 'rm -f /dev/shm/jack_sem.*_"$JACK_DEFAULT_SERVER"_*' EXIT

# The ports appear when the 2D test opens its client, after the empty test.
"$kv3r" run --backend JACK --method 2 --seconds 12 --buffers 4 --2d 1 --3d-hardware 0 --3d-eax 0 >out.txt 2>&1 &
pid=$!
started=$SECONDS
until jack_lsp 2>/dev/null | grep -q "^kv3r:emitter_1$"; do
  kill -0 "$pid" 2>/dev/null || fail "kv3r ended before its 2D test"
  if [ $((SECONDS - started)) -ge 60 ]; then
    kill -INT "$pid"; wait "$pid"
    fail "the 2D test's port did not appear within 60 s"
  fi
  sleep 0.1
done
# Past the settling wait, into the measured period.
sleep 3
# The server sound-server started for this test, and no other.
server=$(pgrep -f "^jackd -n $JACK_DEFAULT_SERVER( |$)") || fail "no jackd named $JACK_DEFAULT_SERVER"
kill -TERM "$server"
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  # Ctrl-C first, so that the output says how far it got.
  kill -INT "$pid"
  for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null
  fail "kv3r was still running 10 s after the server went away"
fi
wait "$pid"
status=$?

[ "$status" -eq 1 ] || fail "exit code $status, not 1"
grep -qx "The JACK server went away during JACK 2D" out.txt || fail "no word of the server's going"
file=$(sed -n 's/^Results file: //p' out.txt)
[ -n "$file" ] && [ -f "$file" ] || fail "no results file"
xmllint --noout "$file" || fail "$file does not parse"
readings=$(xmllint --xpath "count(//ResultsSet[TestMode='JACK 2D']/Result/Data)" "$file")
[ "$readings" -ge 1 ] || fail "the 2D test's readings were not saved"
echo "server loss saved: $file ($readings readings)"
