#!/usr/bin/env bash
# The sound server goes away at one moment of a run: kv3r ends within 5 s,
# says which server went and when, exits 1, saves what it measured in a file
# an XML parser reads, names the lost test in the companion, and leaves no
# process behind.
#   sound-server jack|pipewire -- kv3r_server_loss.sh KV3R WORK BACK_END MOMENT
# BACK_END: jack (the JACK back end), openal-jack, openal-pulse.
# MOMENT: before (as the run starts), empty (in the empty test's readings),
# between (as the empty test ends), mode (in the 2D test's readings),
# stalled (the server stops, not ends, in the empty test's readings: an open
# that never returns must not hold the run).
set -u
kv3r=$1 work=$2 backend=$3 moment=$4
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
fail() {
  echo "FAIL ($backend, $moment): $*"
  for f in out.txt err.txt Korvanta3rUzevoBench.log; do [ -f $f ] && { echo "--- $f"; cat $f; }; done
  exit 1
}
# A server killed under its clients leaves their semaphores behind: ours go
# with the test (the server's name is this test's own).
[ -n "${JACK_DEFAULT_SERVER:-}" ] && trap 'rm -f /dev/shm/jack_sem.*_"$JACK_DEFAULT_SERVER"_*' EXIT
signal=TERM limit=5000

case $backend in
  jack) output=() name=JACK mode="JACK 2D" subject="The JACK server" ;;
  openal-jack) output=(--openal-output jack) name=OpenAL mode="OpenAL 2D" subject="The JACK server" ;;
  openal-pulse) output=(--openal-output pulse) name=OpenAL mode="OpenAL 2D" subject="The PipeWire server" ;;
  *) fail "unknown back end" ;;
esac

# The processes of the server sound-server started for this test, and no
# other (other servers of this user may be running beside it).
ours() {
  local pid
  for pid in $(pgrep -u "$(id -u)" -x "$1"); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" && echo "$pid"
  done
}
if [ "$backend" = openal-pulse ]; then
  servers=$(ours pipewire-pulse; ours pipewire)
else
  servers=$(pgrep -f "^jackd -n $JACK_DEFAULT_SERVER( |$)")
fi
[ -n "$servers" ] || fail "no server of this test's own"

log=Korvanta3rUzevoBench.log
"$kv3r" "${output[@]}" run --backend $name --method 2 --seconds 2 --buffers 4 --2d 1 --3d-hardware 0 --3d-eax 0 >out.txt 2>err.txt &
pid=$!
# Waits up to 30 s for a line of the debug log.
await() {
  for _ in $(seq 300); do
    grep -q "$1" $log 2>/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || fail "kv3r ended before \"$1\" was logged"
    sleep 0.1
  done
  kill -KILL "$pid"; fail "\"$1\" was not logged within 30 s"
}
case $moment in
  before) await "^Direct3D 9 Initialized" ;;
  empty) await "^Suspend thread"; sleep 2.7 ;;
  between) await "^Resume thread" ;;
  mode) await "^StartAllEmitters"; sleep 2.7 ;;
  # Noticed only when the next test opens its client: the rest of the empty
  # test and the open's 2 s deadline come on top.
  stalled) await "^Suspend thread"; sleep 1; signal=STOP limit=10000 ;;
  *) fail "unknown moment" ;;
esac
# A stopped server goes on, so that sound-server's own stop ends it cleanly.
[ $signal = STOP ] && trap 'kill -CONT $servers; rm -f /dev/shm/jack_sem.*_"$JACK_DEFAULT_SERVER"_*' EXIT
now_ms() { echo $(($(date +%s%N) / 1000000)); }
kill -$signal $servers
killed=$(now_ms)
while kill -0 "$pid" 2>/dev/null && [ $(($(now_ms) - killed)) -lt $limit ]; do sleep 0.05; done
took=$(($(now_ms) - killed))
if kill -0 "$pid" 2>/dev/null; then
  kill -INT "$pid"
  for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null
  fail "kv3r was still running $((limit / 1000)) s after the server went away"
fi
wait "$pid"
status=$?
[ "$took" -le $limit ] || fail "kv3r ended $took ms after the server went away, not within $((limit / 1000)) s"
[ "$status" -eq 1 ] || fail "exit code $status, not 1"

# Where the server went is told by the test that noticed it: the moments at
# a test's boundary can fall on either side of it.
case $moment in
  before) said="(before|during) the empty test" ;;
  empty) said="during the empty test" ;;
  between) said="(before|during) $mode|at the end of the empty test" ;;
  mode) said="during $mode" ;;
  stalled) said="(before|during) $mode|(at the end of|during) the empty test" ;;
esac
grep -qxE "$subject went away ($said)" err.txt || fail "no word of the server's going"
lost=$(sed -nE "s/^$subject went away (before|during|at the end of) //p" err.txt)
[ "$lost" = "the empty test" ] && lost="Empty CPU test"
grep -q "^Device gone .*: nothing more is measured" $log || fail "the debug log does not say so"

file=$(sed -n 's/^Results file: //p' out.txt)
[ -n "$file" ] && [ -f "$file" ] || fail "no results file"
xmllint --noout "$file" || fail "$file does not parse"
[ "$(xmllint --xpath "count(//ResultsSet[TestMode='$mode']/Result/Data)" "$file")" -eq 0 ] ||
  [ "$moment" = mode ] || fail "readings of $mode after the server went"
companion=${file%.xml}.json
grep -A1 '^  "device_lost": {' "$companion" | grep -qF "\"test\": \"$lost\"" ||
  fail "the companion does not name $lost: $(cat "$companion")"
# Whatever kv3r started works in this folder.
for cwd in /proc/[0-9]*/cwd; do
  [ "$(readlink "$cwd" 2>/dev/null)" = "$PWD" ] && [ "${cwd//[^0-9]/}" != $$ ] &&
    fail "kv3r left a process behind: $(tr '\0' ' ' <"${cwd%/cwd}/cmdline")"
done
echo "$subject went away ($moment): kv3r ended within $took ms, exit 1, $file"
