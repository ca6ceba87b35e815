#!/usr/bin/env bash
# How precise kv3r's answer is, on a quiet machine; prints figures against
# their aims, no pass or fail.
#   runs     RUNS identical `kv3r run --repeat 3 --seconds 8 --buffers 128`
#            (2D only): the spread of the attributed cost (aim: at most 5 %
#            of its median) and of the system-wide cost (aim: 15 %), negative
#            costs (aim: none) and the readings' range (aim: -1 % to 100 %).
#   sweep    `sweep --openal hrtf=false,true --buffers 1,64,128 --precision
#            10 --max-seconds 240`: each cost of one emitter with its
#            half-width (aim: 10 %) and HRTF's ratio to no HRTF.
#   load     the attributed cost quiet and while another process keeps one
#            processor half busy (aim: within 10 %).
#   bench/kv3r_precision.sh runs|sweep|load [KV3R] [OPENAL OUTPUT] [RUNS]
set -euo pipefail
what=${1:?runs, sweep or load}
kv3r=${2:-build/linux/src/app/kv3r}
output=${3:-null}
runs=${4:-3}
kv3r=$(cd "$(dirname "$kv3r")" && pwd)/$(basename "$kv3r")
work=$(mktemp -d)
busy=""
cleanup() {
  if [ -n "$busy" ]; then kill "$busy" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

one_run() {  # FOLDER
  mkdir -p "$1"
  (cd "$1" && "$kv3r" --openal-output "$output" run --repeat 3 --seconds 8 --buffers 128 --3d-hardware 0 \
    --3d-eax 0 >out.txt) || [ $? -eq 3 ]
}

# Each folder's 2D cost, system-wide and attributed, and its readings' range.
summarise() {  # FOLDER...
  python3 - "$@" <<'PY'
import glob, json, statistics, sys
import xml.etree.ElementTree as ET
system, attributed, readings = [], [], []
for folder in sys.argv[1:]:
    for path in glob.glob(folder + "/KV3D_*.json"):
        for cost in json.load(open(path))["costs"]:
            if cost["mode"].endswith(" 2D"):
                system.append(cost["cost"])
                attributed.append(cost.get("attributed_cost"))
                print(f'{folder}: system-wide {cost["cost"]:+.3f} {cost["ci95"]}, attributed '
                      f'{cost.get("attributed_cost")} {cost.get("attributed_cost_ci95")}')
    for path in glob.glob(folder + "/KV3D_*.xml"):
        readings += [float(d.text) for d in ET.parse(path).getroot().iter("Data")]
def spread(values):
    values = [v for v in values if v is not None]
    if not values: return "-"
    median = statistics.median(values)
    return f"median {median:+.3f}, spread {(max(values) - min(values)) / abs(median) * 100:.1f} % of it"
print(f"attributed cost: {spread(attributed)} (aim 5 %)")
print(f"system-wide cost: {spread(system)} (aim 15 %)")
print(f"negative costs: {sum(1 for v in system if v < 0)} system-wide, "
      f"{sum(1 for v in attributed if v is not None and v < 0)} attributed (aim 0)")
if readings:
    print(f"readings from {min(readings):.2f} % to {max(readings):.2f} % (aim -1 % to 100 %)")
PY
}

case "$what" in
  runs)
    for run in $(seq "$runs"); do one_run "run$run"; done
    summarise run*
    ;;
  sweep)
    "$kv3r" --openal-output "$output" sweep --openal hrtf=false,true --buffers 1,64,128 --precision 10 \
      --max-seconds 240 --output swept >out.txt 2>&1 || true
    grep -E "Precision|rounds" out.txt || true
    python3 - swept/sweep.json <<'PY'
import json, sys
sweep = json.load(open(sys.argv[1]))
for c in sweep["configurations"]:
    for key in ("attributed_per_emitter_of_one_processor", "per_emitter_of_one_processor"):
        f = c[key]
        value, (low, high) = f["value"], f["ci95"]
        half = (high - low) / 2 / value * 100 if None not in (value, low, high) and value else float("nan")
        print(f'{c["name"]}: {key} {value} [{low}, {high}], half-width {half:.1f} % (aim 10 %)')
    print(f'{c["name"]}: attributed ratio to the first {c["attributed_ratio_to_first"]}')
PY
    ;;
  load)
    one_run quiet
    # One processor half busy: 50 ms of work in every 100 ms.
    python3 -c '
import time
while True:
    end = time.monotonic() + 0.05
    while time.monotonic() < end: pass
    time.sleep(0.05)' &
    busy=$!
    one_run loaded
    kill "$busy"; busy=""
    summarise quiet
    summarise loaded
    ;;
  *) echo "kv3r_precision.sh: runs, sweep or load, not \"$what\"" >&2; exit 2 ;;
esac
