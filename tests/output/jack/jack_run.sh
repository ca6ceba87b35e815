#!/usr/bin/env bash
# The JACK back end through the real server tools/sound-server started (its
# name in JACK_DEFAULT_SERVER): `devices --report` lists the server with its
# report; a short run writes a "JACK 2D" set with readings and the back end's
# figures, its ports are there and connected round-robin while it plays,
# and gone after.
#   sound-server jack -- jack_run.sh KV3R WORK
set -u
kv3r=$1 work=$2
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
fail() { echo "FAIL: $*"; for f in devices.txt out.txt ports.txt; do [ -f $f ] && { echo "--- $f"; cat $f; }; done; exit 1; }

"$kv3r" devices --report >devices.txt 2>&1 || fail "devices ended with $?"
# The server's name as a device of the back end, and the report indented under it.
grep -A12 -x "JACK" devices.txt | grep -qx "  0: $JACK_DEFAULT_SERVER" || fail "no JACK device named after the server"
for line in "Device: $JACK_DEFAULT_SERVER" "Sample rate: 48000 Hz" "Buffer size: 256 frames" \
            "Physical playback ports: 2" " port: system:playback_1"; do
  grep -qx "      $line" devices.txt || fail "the report lacks \"$line\""
done
grep -qE "^      Real time: (yes|no)$" devices.txt || fail "the report does not say whether it runs in real time"
grep -qE "^      DSP load: [0-9]+\.[0-9]{2} %$" devices.txt || fail "the report has no DSP load"

"$kv3r" run --backend JACK --method 2 --seconds 1 --buffers 4 --2d 1 --3d-hardware 0 --3d-eax 0 >out.txt 2>&1 &
pid=$!
# jack_lsp -c: a port, then its connections indented. The ports exist a
# moment before they are connected: wait for the last one's connection.
connected() { grep -A1 -x "kv3r:$1" ports.txt | sed -n 2p | grep -qx "   $2"; }
for _ in $(seq 1 150); do
  jack_lsp -c >ports.txt 2>/dev/null
  connected emitter_4 system:playback_2 && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
wait "$pid"
status=$?
# 3: the machine was saturated (a busy test machine); the files are whole.
[ "$status" -eq 0 ] || [ "$status" -eq 3 ] || fail "the run ended with $status"
connected emitter_1 system:playback_1 || fail "emitter_1 not on playback_1 during the test"
connected emitter_2 system:playback_2 || fail "emitter_2 not on playback_2 during the test"
connected emitter_3 system:playback_1 || fail "emitter_3 not back on playback_1 during the test"
jack_lsp >after.txt 2>&1
grep -q "^kv3r:" after.txt && fail "our ports are still there after the run: $(cat after.txt)"

grep -q "plays every buffer at 48000 Hz" out.txt || fail "the server's fixed rate is not said"
grep -qE "^    back end: dsp_load [0-9.e+-]+, xruns [0-9]+$" out.txt || fail "no back end figures under the test's row"
file=$(sed -n 's/^Results file: //p' out.txt)
[ -n "$file" ] && [ -f "$file" ] || fail "no results file"
readings=$(xmllint --xpath "count(//ResultsSet[TestMode='JACK 2D']/Result/Data)" "$file") || fail "$file does not parse"
[ "$readings" -ge 1 ] || fail "no JACK 2D readings"
companion=${file%.xml}.json
grep -A2 '"back_end": {' "$companion" | grep -q '"dsp_load": ' || fail "the companion has no back_end figures"
echo "JACK run saved: $file ($readings readings)"
