#!/usr/bin/env bash
# Renders the full-screen status window, as a run shows it, to
# docs/status-window.png for the README. Builds nothing: give the built
# status_window_picture.exe, or build the `windows` preset first and it is
# found there. netpbm is installed here (and only here) when missing; CI does
# not need it.
#   render-status-picture.sh [path/to/status_window_picture.exe]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program=${1:-$root/build/windows/tests/status_window/status_window_picture.exe}
if [ ! -f "$program" ]; then
  echo "render-status-picture: $program not found; build the windows preset first" >&2
  exit 1
fi
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
if ! command -v pnmtopng >/dev/null || ! command -v pamscale >/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then exec sudo "$0" "$@"; fi
    echo "render-status-picture: netpbm is missing; run as root to install it" >&2
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends netpbm >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# The tests' own prefix when the program sits in a build tree, so its X
# server and Wine set-up are reused.
prefix=$(dirname "$program")/../../wineprefix
[ -d "$(dirname "$program")/../../CMakeFiles" ] || prefix=$work/wineprefix
"$root/tools/wine-run" --prefix "$prefix" "$program" "$work/screen.ppm"
# Half size keeps the file small; the text stays readable.
pamscale -width 512 "$work/screen.ppm" | pnmtopng -compression 9 > "$root/docs/status-window.png"
echo "$root/docs/status-window.png"
