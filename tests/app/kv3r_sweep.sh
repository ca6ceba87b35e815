#!/usr/bin/env bash
# A real sweep on OpenAL Soft's null output: two configurations, two counts,
# 1 s tests. Its summary lists both with their figures, the analyzer reads
# it back, and the settings files are gone. Then a sweep interrupted after
# its first run: what was measured is summarised, exit code 130, and again
# no settings file is left.
# The two are separate tests (PART "whole" or "interrupted"), so that they
# run side by side.
#   kv3r_sweep.sh KV3R WORK PART
set -u
kv3r=$1 work=$2 part=$3
case $part in
  whole|interrupted) ;;
  *) echo "kv3r_sweep.sh: PART is whole or interrupted, not \"$part\"" >&2; exit 2 ;;
esac
rm -rf "$work" && mkdir -p "$work/tmp" && cd "$work" || exit 1
export TMPDIR=$work/tmp
fail() { echo "FAIL: $*"; echo "--- output"; cat out.txt; exit 1; }

whole() {
  "$kv3r" --openal-output null sweep --openal hrtf=false,true --buffers 1,8 --repeat 1 --seconds 1 --output swept \
    >out.txt 2>&1
  status=$?
  [ "$status" -eq 0 ] || fail "exit code $status"
  python3 - swept/sweep.json <<'PY' || fail "sweep.json is not as it should be"
import json, sys
sweep = json.load(open(sys.argv[1]))
assert sweep["kv3r_sweep"] == 2 and sweep["interrupted"] is False, sweep
names = [c["name"] for c in sweep["configurations"]]
assert names == ["hrtf=false", "hrtf=true"], names
for c in sweep["configurations"]:
    assert [p["emitters"] for p in c["points"]] == [1, 8], c["points"]
    assert c["per_emitter"]["value"] is not None
    assert c["effective"]["hrtf"] == c["settings"]["hrtf"], c["effective"]
    for p in c["points"]:
        # The parent named every child's results file.
        assert all(f.startswith("run-") for f in p["results_files"]), p["results_files"]
        for f in p["results_files"]:
            open("swept/" + f.replace(".xml", ".json"))
PY
  [ "$(wc -l < swept/sweep.csv)" -eq 5 ] || fail "sweep.csv has not a row per point"
  grep -q "^Report: .*sweep.html" out.txt && [ -f swept/sweep.html ] || fail "the analyzer made no report of the sweep"
  [ -z "$(ls tmp)" ] || fail "settings files left: $(ls tmp)"
  echo "sweep summarised and read back"
}

interrupted() {
  "$kv3r" --openal-output null sweep --openal hrtf=false,true --buffers 1 --repeat 2 --seconds 1 --output stopped \
    >out.txt 2>&1 &
  pid=$!
  for _ in $(seq 1 300); do
    [ -f stopped/logs/run-002.log ] && break
    sleep 0.1
  done
  sleep 1
  kill -INT "$pid"
  wait "$pid"
  status=$?
  [ "$status" -eq 130 ] || fail "interrupted sweep: exit code $status, not 130"
  grep -q '"interrupted": true' stopped/sweep.json || fail "the interrupted sweep has no summary"
  grep -q "The sweep was interrupted: 1 of 4 runs" out.txt || fail "no word of the interruption"
  [ -z "$(ls tmp)" ] || fail "settings files left after the interruption: $(ls tmp)"
  pgrep -f "$kv3r.*--output stopped" >/dev/null && fail "a run outlived its sweep"
  echo "interrupted sweep summarised"
}

"$part"
