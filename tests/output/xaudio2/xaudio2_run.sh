#!/usr/bin/env bash
# The XAudio2 back end (FAudio) through SDL's output OUTPUT: `devices
# --report` lists it with its report; a 1 s run of each mode with deferred
# updates writes each set with readings, the engine's voice count, and one
# operation set committed per AudioThread pass.
#   xaudio2_run.sh KV3R WORK OUTPUT
# (dummy needs nothing; through tools/sound-server pipewire, the pipewire and
# pulseaudio outputs reach the headless server.)
set -u
kv3r=$1 work=$2 output=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
fail() { echo "FAIL: $*"; for f in devices.txt out.txt; do [ -f $f ] && { echo "--- $f"; cat $f; }; done; exit 1; }
if ! grep -q " $output[,.]" <("$kv3r" --help 2>&1); then
  echo "SKIP: SDL offers no $output output here"
  exit 77
fi

"$kv3r" --xaudio-output "$output" devices --report >devices.txt 2>&1 || fail "devices ended with $?"
grep -A3 -x "XAudio2" devices.txt | grep -qx "  0: Default output" || fail "no XAudio2 default output"
for line in "Device: Default output" "Source voices: 256 of 256 tried" "Reverb: Available" "Operation sets: Available"; do
  grep -qx "      $line" devices.txt || fail "the report lacks \"$line\""
done
grep -qE "^      Engine: FAudio [0-9]+\.[0-9]+ \(libFAudio\.so\.0\)$" devices.txt || fail "the report names no engine"
grep -qE "^      Mastering voice: [0-9]+ channels, [0-9]+ Hz, channel mask 0x[0-9a-f]+$" devices.txt ||
  fail "the report has no mastering voice"

"$kv3r" --xaudio-output "$output" run --backend XAudio2 --method 2 --seconds 1 --buffers 16 --deferred 1 \
  >out.txt 2>&1
status=$?
# 3: the machine was saturated (a busy test machine); the files are whole.
[ "$status" -eq 0 ] || [ "$status" -eq 3 ] || fail "the run ended with $status"
file=$(sed -n 's/^Results file: //p' out.txt)
[ -n "$file" ] && [ -f "$file" ] || fail "no results file"
for mode in "XAudio2 2D" "XAudio2 3D" "XAudio2 3D + reverb"; do
  readings=$(xmllint --xpath "count(//ResultsSet[TestMode='$mode']/Result/Data)" "$file") || fail "$file does not parse"
  [ "$readings" -ge 1 ] || fail "no $mode readings"
done
python3 - "${file%.xml}.json" <<'PY' || fail "the companion's back-end figures are wrong"
import json, sys
tests = {t["mode"]: t.get("back_end", {}) for t in json.load(open(sys.argv[1]))["tests"]}
for mode in ("XAudio2 2D", "XAudio2 3D", "XAudio2 3D + reverb"):
    figures = tests[mode]
    assert figures.get("active_voices") == 16, (mode, figures)
    assert "glitches" not in figures, (mode, figures)
for mode in ("XAudio2 3D", "XAudio2 3D + reverb"):
    figures = tests[mode]
    # 2 s of settling and 1 s measured at one pass per 50 ms.
    assert figures["deferred_passes"] >= 40, (mode, figures)
    assert figures["operation_sets"] == figures["deferred_passes"], (mode, figures)
PY
echo "XAudio2 run through $output saved: $file"
