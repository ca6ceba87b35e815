#!/usr/bin/env bash
# Installs everything both targets need to build and test, from Debian's
# packages only. Idempotent: safe to run again on a prepared machine.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null; then exec sudo "$0" "$@"; fi
  echo "setup: run as root (it installs Debian packages)" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive

packages=(
  build-essential cmake ninja-build pkg-config git ca-certificates dpkg-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libtinyxml2-dev libxml2-utils libcli11-dev
  libopenal1 libopenal-data
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine32 wine64 xvfb xauth
)

# The stamp remembers the package list, so a changed list installs again.
stamp=/var/lib/kv3r-setup.done
wanted=$(printf '%s\n' "${packages[@]}" | sha256sum | cut -d' ' -f1)
if [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  # The Windows build compiles tinyxml2 from Debian's own source package.
  src_list=/etc/apt/sources.list.d/kv3r-sources.sources
  if [ ! -f "$src_list" ]; then
    cat > "$src_list" <<'LIST'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
LIST
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
  echo "$wanted" > "$stamp"
fi

# Sources the Windows target compiles itself, kept outside the repository.
third=/opt/kv3r-third-party
mkdir -p "$third"
if [ ! -f "$third/tinyxml2/tinyxml2.cpp" ]; then
  rm -rf "$third/tinyxml2" "$third/tinyxml2-src"
  mkdir -p "$third/tinyxml2-src"
  chown _apt "$third/tinyxml2-src" 2>/dev/null || true
  (cd "$third/tinyxml2-src" && apt-get source -qq --download-only tinyxml2 >/dev/null &&
     dpkg-source -x --no-check ./*.dsc tree >/dev/null)
  mkdir -p "$third/tinyxml2"
  cp "$third/tinyxml2-src/tree/tinyxml2.cpp" "$third/tinyxml2-src/tree/tinyxml2.h" "$third/tinyxml2/"
  rm -rf "$third/tinyxml2-src"
fi
echo "setup: ready"
