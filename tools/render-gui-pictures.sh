#!/usr/bin/env bash
# Renders the dialog program's two faces for the README: the main dialog with
# a device chosen (docs/main-dialog.png) and the full-screen status window
# as a run shows it (docs/status-window.png). Builds nothing: build the
# `windows` preset first, or give its build directory. netpbm is installed
# here (and only here) when missing; CI does not need it.
#   render-gui-pictures.sh [path/to/build/windows]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build=${1:-$root/build/windows}
build=$(cd "$build" && pwd)
dialog=$build/tests/app/win32/dialog_picture.exe
status=$build/tests/ui/win32/status_window_picture.exe
for program in "$dialog" "$status"; do
  if [ ! -f "$program" ]; then
    echo "render-gui-pictures: $program not found; build the windows preset first" >&2
    exit 1
  fi
done
if ! command -v pnmtopng >/dev/null || ! command -v pamscale >/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then exec sudo "$0" "$@"; fi
    echo "render-gui-pictures: netpbm is missing; run as root to install it" >&2
    exit 1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends netpbm >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# The tests' own prefix, so its X server and Wine set-up are reused.
prefix=$build/wineprefix
"$root/tools/wine-run" --prefix "$prefix" "$dialog" "$work/dialog.ppm"
pnmtopng -compression 9 "$work/dialog.ppm" > "$root/docs/main-dialog.png"
"$root/tools/wine-run" --prefix "$prefix" "$status" "$work/screen.ppm"
# Half size keeps the file small; the text stays readable.
pamscale -width 512 "$work/screen.ppm" | pnmtopng -compression 9 > "$root/docs/status-window.png"
echo "$root/docs/main-dialog.png"
echo "$root/docs/status-window.png"
