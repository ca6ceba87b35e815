#!/usr/bin/env bash
# Ctrl-C during a run of the real program on OpenAL Soft's null output: the
# run ends at the next reading, the device is closed, the readings so far are
# saved in a file every XML parser reads, and the exit code is 130.
#   kv3r_interrupt.sh KV3R WORK
set -u
kv3r=$1 work=$2
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
fail() { echo "FAIL: $*"; echo "--- output"; cat out.txt; echo "--- log"; cat Korvanta3rUzevoBench.log; exit 1; }

"$kv3r" --openal-output null run --method 2 --seconds 3 --buffers 8 --3d-hardware 0 --3d-eax 0 >out.txt 2>&1 &
pid=$!
# Into the 2D test's measured period: its settling wait starts after "Test Init".
for _ in $(seq 1 200); do
  grep -q "Test Init" Korvanta3rUzevoBench.log 2>/dev/null && break
  sleep 0.1
done
sleep 3
kill -INT "$pid"
wait "$pid"
status=$?

[ "$status" -eq 130 ] || fail "exit code $status, not 130"
grep -q "The run was interrupted. Incomplete: 2D (ended early)." out.txt || fail "no word of the interruption"
file=$(sed -n 's/^Results file: //p' out.txt)
[ -n "$file" ] && [ -f "$file" ] || fail "no results file"
xmllint --noout "$file" || fail "$file does not parse"
sets=$(grep -c "<ResultsSet>" "$file")
[ "$sets" -eq 2 ] || fail "$sets results sets, not 2"
grep -q "<TestMode>OpenAL 2D</TestMode>" "$file" || fail "no 2D set"
tr -d '\r' < Korvanta3rUzevoBench.log | grep -A1 -x "StopAllEmitters" | grep -qx "Done" || fail "the emitters were not torn down"
grep -q "Direct3D 9 Succeessfully destroyed" Korvanta3rUzevoBench.log || fail "the status display was not taken down"
echo "interrupted run saved: $file"

# A second interruption ends kv3r at once, and the settings file it wrote
# for the wave output goes with it.
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"
rm -f Korvanta3rUzevoBench.log
"$kv3r" --openal-output wave:mix.wav run --method 2 --seconds 30 --buffers 1 --3d-hardware 0 --3d-eax 0 >out.txt 2>&1 &
pid=$!
# Into the empty test, when the signals are kv3r's to handle.
for _ in $(seq 1 200); do
  grep -q "Test0 - Empty" Korvanta3rUzevoBench.log 2>/dev/null && break
  sleep 0.1
done
ls "$TMPDIR"/kv3r-openal-*.conf >/dev/null 2>&1 || fail "no settings file was written for the wave output"
# Two different signals, so the second cannot merge into the first.
kill -INT "$pid"; kill -TERM "$pid"
wait "$pid"
status=$?
# 143 as a rule; 130 when the two ran at once on two threads and TERM counted first.
[ "$status" -eq 143 ] || [ "$status" -eq 130 ] || fail "second interruption: exit code $status"
left=$(ls "$TMPDIR"/kv3r-openal-*.conf 2>/dev/null)
[ -z "$left" ] || fail "second Ctrl-C left $left behind"
echo "second Ctrl-C removed the settings file"
