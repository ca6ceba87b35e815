#!/usr/bin/env bash
# The server-loss matrix of the tests (JACK back end, OpenAL Soft's jack and
# pulse outputs, each with its server gone before the run, in the empty test,
# between tests and in a mode) ROUNDS times while LOAD busy loops keep the
# processors loaded. Counts the failures (a case that did not end as the
# test demands) and the hangs (kv3r alive 5 s after its server went, or a
# case not over within 90 s). With --side-by-side the pulse cases run beside
# the JACK ones, two servers at a time.
#   bench/kv3r_server_loss_stress.sh [--side-by-side] [KV3R] [ROUNDS] [LOAD]
set -u
side=0
[ "${1:-}" = --side-by-side ] && { side=1; shift; }
root=$(cd "$(dirname "$0")/.." && pwd)
kv3r=${1:-$root/build/linux/src/app/kv3r}
rounds=${2:-20}
load=${3:-2}
kv3r=$(cd "$(dirname "$kv3r")" && pwd)/$(basename "$kv3r")
work=$(mktemp -d)
loaders=()
stop() {
  local pid
  for pid in "${loaders[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM
for _ in $(seq "$load"); do
  (while :; do :; done) &
  loaders+=($!)
done

# One case: its outcome as "pass", "fail" or "hang", its output kept on failure.
run_case() {
  local backend=$1 moment=$2 round=$3 server=jack status
  [ "$backend" = openal-pulse ] && server=pipewire
  local dir=$work/$backend-$moment-$round
  timeout -k 5 90 "$root/tools/sound-server" "$server" -- "$root/tests/app/kv3r_server_loss.sh" "$kv3r" "$dir" \
    "$backend" "$moment" >"$dir.txt" 2>&1
  status=$?
  if [ $status -eq 0 ]; then
    echo pass
  elif [ $status -eq 124 ] || grep -q "still running 5 s after" "$dir.txt"; then
    echo hang
  elif grep -q "did not start" "$dir.txt"; then
    echo skip
  else
    echo fail
  fi
  [ $status -eq 0 ] && rm -rf "$dir" "$dir.txt"
}

declare -A count=([pass]=0 [fail]=0 [hang]=0 [skip]=0)
tally() { local outcome; for outcome in "$@"; do count[$outcome]=$((count[$outcome] + 1)); done; }
started=$SECONDS
for round in $(seq "$rounds"); do
  for moment in before empty between mode; do
    for backend in jack openal-jack; do
      if [ $side -eq 1 ] && [ $backend = jack ]; then
        run_case openal-pulse "$moment" "$round" >"$work/pulse.outcome" &
        pulse=$!
        tally "$(run_case $backend "$moment" "$round")"
        wait $pulse
        tally "$(cat "$work/pulse.outcome")"
      else
        tally "$(run_case $backend "$moment" "$round")"
      fi
    done
    [ $side -eq 0 ] && tally "$(run_case openal-pulse "$moment" "$round")"
  done
  echo "round $round: ${count[pass]} passed, ${count[fail]} failed, ${count[hang]} hung, ${count[skip]} skipped"
done
echo "$((rounds * 12)) cases in $((SECONDS - started)) s under $load busy loops:" \
     "${count[pass]} passed, ${count[fail]} failed, ${count[hang]} hung, ${count[skip]} skipped"
for kept in "$work"/*.txt; do
  [ -f "$kept" ] || continue
  echo "--- $(basename "$kept" .txt)"
  grep -E "^FAIL|went away" "$kept" | head -3
done
[ "${count[fail]}" -eq 0 ] && [ "${count[hang]}" -eq 0 ]
