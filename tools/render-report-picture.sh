#!/usr/bin/env bash
# Renders the analyzer's report of a short sample run to docs/analyzer-report.png
# for the README, with headless Chromium (tools/setup.sh installs it; this
# script installs it where it is missing). Extra arguments go to `kv3r run`.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then exec sudo "$0" "$@"; fi
    echo "render-report-picture: chromium is missing; run as root to install it" >&2
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends chromium >/dev/null
  browser=$(command -v chromium)
fi
(
  cd "$root"
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j "$(nproc)" --target kv3r Korvanta3RUzevoDataAnalyzer >/dev/null
)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$root/build/linux/src/app/kv3r" --openal-output null run --seconds 15 --buffers 64 "$@" >/dev/null
results=$(ls -t ./*KV3D_*.xml | head -n 1)
"$root/build/linux/src/app/Korvanta3RUzevoDataAnalyzer" "$results" >/dev/null
# Chromium refuses its sandbox as root; the page is our own file.
"$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1400,1400 \
  --screenshot="$root/docs/analyzer-report.png" "file://$work/$(basename "${results%.xml}").html" 2>/dev/null
echo "$root/docs/analyzer-report.png"
