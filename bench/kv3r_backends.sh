#!/usr/bin/env bash
# The cost of one emitter in OpenAL Soft against the XAudio2 back end
# (FAudio), as kv3r measures it: on the outputs that mix into nothing
# (OpenAL Soft's null, SDL's dummy) and through a headless PipeWire that
# tools/sound-server starts. Each configuration runs with 1 and 128
# emitters; the per-emitter figure is the slope of this program's own
# processor time over the measured test, which a busy machine disturbs far
# less than the system-wide readings. The server's share is left out: it
# goes with the one stream a client opens, not with its emitters, and on a
# shared machine other people's servers would be counted in it.
#   bench/kv3r_backends.sh [KV3R] [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
kv3r=${1:-$here/build/linux/src/app/kv3r}
seconds=${2:-10}
kv3r=$(cd "$(dirname "$kv3r")" && pwd)/$(basename "$kv3r")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# This program's processor time over MODE's test (the summary's "Process %",
# a share of all processors), in % of one processor.
attributed() {
  python3 - "$1" "$2" <<'PY'
import os, re, sys
folder, mode = sys.argv[1], sys.argv[2]
out = open(os.path.join(folder, "out.txt")).read()
row = re.search(r"^" + re.escape(mode) + r" +[0-9].* ([0-9.]+)$", out, re.M)
processors = int(re.search(r"of all ([0-9]+) processors", out).group(1))
print(f"{float(row.group(1)) * processors:.4f}")
PY
}

# label | mode | wrapper | kv3r arguments
configurations=(
  "OpenAL Soft, null|OpenAL 2D||--openal-output null run --backend OpenAL --2d 1 --3d-hardware 0 --3d-eax 0"
  "XAudio2, dummy|XAudio2 2D||--xaudio-output dummy run --backend XAudio2 --2d 1 --3d-hardware 0 --3d-eax 0"
  "XAudio2, dummy|XAudio2 3D||--xaudio-output dummy run --backend XAudio2 --2d 0 --3d-hardware 1 --3d-eax 0"
  "XAudio2, dummy|XAudio2 3D + reverb||--xaudio-output dummy run --backend XAudio2 --2d 0 --3d-hardware 0 --3d-eax 1"
  "OpenAL Soft, PipeWire|OpenAL 2D|pipewire|--openal-output pulse run --backend OpenAL --2d 1 --3d-hardware 0 --3d-eax 0"
  "XAudio2, PipeWire|XAudio2 2D|pipewire|--xaudio-output pipewire run --backend XAudio2 --2d 1 --3d-hardware 0 --3d-eax 0"
  "XAudio2, PipeWire|XAudio2 3D|pipewire|--xaudio-output pipewire run --backend XAudio2 --2d 0 --3d-hardware 1 --3d-eax 0"
)
printf '%-24s %-20s %12s %12s %14s\n' "Back end, output" "Mode" "1 emitter" "128" "Per emitter"
for configuration in "${configurations[@]}"; do
  IFS='|' read -r label mode wrapper arguments <<<"$configuration"
  declare -A cost=()
  for emitters in 1 128; do
    mkdir -p "run$emitters" && rm -f "run$emitters"/KV3D_*
    # shellcheck disable=SC2086
    if [ -n "$wrapper" ]; then
      (cd "run$emitters" && "$here/tools/sound-server" "$wrapper" -- "$kv3r" $arguments --seconds "$seconds" \
        --buffers "$emitters" >out.txt 2>&1) || true
    else
      (cd "run$emitters" && "$kv3r" $arguments --seconds "$seconds" --buffers "$emitters" >out.txt 2>&1) || true
    fi
    cost[$emitters]=$(attributed "run$emitters" "$mode")
  done
  awk -v l="$label" -v m="$mode" -v a="${cost[1]}" -v b="${cost[128]}" 'BEGIN {
    printf "%-24s %-20s %11.2f%% %11.2f%% %13.4f%%\n", l, m, a, b, (b - a) / 127 }'
done
echo "(this program's processor time over the measured test, % of one processor)"
