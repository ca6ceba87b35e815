#!/usr/bin/env bash
# The cost of playing emitters as kv3r reports it, on OpenAL Soft's null
# output: runs with 1 and 255 emitters (2D only), the per-emitter slope of
# the cost above the empty baseline, and beside it this program's own
# processor time over the same period. On a quiet machine the two should
# agree within about 10 %.
#   bench/kv3r_cost.sh [KV3R] [SECONDS]
set -euo pipefail
kv3r=${1:-build/linux/src/app/kv3r}
seconds=${2:-12}
kv3r=$(cd "$(dirname "$kv3r")" && pwd)/$(basename "$kv3r")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

declare -A above process
for emitters in 1 255; do
  "$kv3r" --openal-output null run --seconds "$seconds" --buffers "$emitters" --3d-hardware 0 --3d-eax 0 >out.txt
  # The 2D row: ... Max % Above Process s Process %
  row=$(grep -E '^OpenAL 2D ' out.txt)
  above[$emitters]=$(awk '{print $(NF-2)}' <<<"$row")
  process[$emitters]=$(awk '{print $NF}' <<<"$row")
  printf '%3d emitters: above baseline %s %%, own process %s %% (of all processors)\n' \
    "$emitters" "${above[$emitters]}" "${process[$emitters]}"
done
awk -v a1="${above[1]}" -v a2="${above[255]}" -v p1="${process[1]}" -v p2="${process[255]}" 'BEGIN {
  slope = (a2 - a1) / 254; own = (p2 - p1) / 254;
  printf "per emitter: %.4f %% above baseline, %.4f %% own process time", slope, own;
  if (own != 0) printf " (ratio %.2f)", slope / own;
  printf "\n";
}'
