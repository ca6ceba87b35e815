#!/usr/bin/env bash
# How sure the interleaved cost is, and how much of it the parts explain:
# RUNS runs of `kv3r run --repeat 3` on OpenAL Soft's null output (or the
# output given), 2D only, then from their companion files the spread of the
# 2D cost around its median (aim: within 10 %) and each run's unexplained
# share of the cost (aim: at most 10 %).
#   bench/kv3r_repeatability.sh [KV3R] [SECONDS] [RUNS] [OPENAL OUTPUT]
set -euo pipefail
kv3r=${1:-build/linux/src/app/kv3r}
seconds=${2:-8}
runs=${3:-3}
output=${4:-null}
kv3r=$(cd "$(dirname "$kv3r")" && pwd)/$(basename "$kv3r")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

for run in $(seq "$runs"); do
  mkdir "run$run"
  (cd "run$run" && "$kv3r" --openal-output "$output" run --repeat 3 --seconds "$seconds" --buffers 128 \
    --3d-hardware 0 --3d-eax 0 >out.txt) || [ $? -eq 3 ]
done
python3 - "$runs" <<'PY'
import glob, json, statistics, sys
costs = []
for path in sorted(glob.glob("run*/KV3D_*.json")):
    with open(path) as f:
        document = json.load(f)
    for cost in document["costs"]:
        if not cost["mode"].endswith(" 2D"):
            continue
        parts = cost["parts"]
        servers = sum(v for v in parts["servers"].values() if v is not None)
        share = abs(parts["unexplained"]) / cost["cost"] * 100 if cost["cost"] else float("nan")
        low, high = cost["ci95"] or (float("nan"), float("nan"))
        print(f'{path.split("/")[0]}: cost {cost["cost"]:+.3f} [{low:+.3f}, {high:+.3f}]; program '
              f'{parts["program"]:+.3f}, servers {servers:+.3f}, kernel {parts["kernel"]:+.3f}, other '
              f'{parts["other"]:+.3f}, unexplained {parts["unexplained"]:+.3f} ({share:.0f} % of the cost)')
        costs.append(cost["cost"])
if costs:
    median = statistics.median(costs)
    spread = (max(costs) - min(costs)) / median * 100 if median else float("nan")
    print(f"2D cost over {len(costs)} runs: median {median:+.3f}, spread {spread:.0f} % of the median")
PY
