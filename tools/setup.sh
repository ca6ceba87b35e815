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
  libtinyxml2-dev libxml2-utils xsltproc libcli11-dev nlohmann-json3-dev
  clang-14 libclang-rt-14-dev
  libopenal1 libopenal-data
  # FAudio (the XAudio2 back end on Linux), loaded at run time; it plays through SDL2.
  libfaudio0
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine32 wine64 xvfb xauth
  # Wine draws Direct3D (the status window) through OpenGL, for each architecture.
  libgl1 libglx-mesa0 libgl1-mesa-dri libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  # Wine's own fonts: the dialog's "MS Sans Serif" (tools/wine-run puts them in the prefix).
  fonts-wine
  # Real sound servers, started headless by tools/sound-server.
  dbus-daemon pipewire pipewire-pulse wireplumber pulseaudio-utils jackd2 libjack-jackd2-0
  # kv3r's man page in the Debian package, made from its --help.
  help2man
  # The reports' layout test lays out the analyzer's pages in headless Chromium.
  chromium
)

# The Windows build compiles tinyxml2 from Debian's own source package, so
# apt needs deb-src entries. They come from the machine's own binary entries
# (same URIs, suites, components and keys), so set-up works behind whatever
# mirror the machine uses. Entries the machine already has a deb-src for are
# left out; with none left the file is removed. Prints whether it changed.
apt_dir=/etc/apt
src_list=$apt_dir/sources.list.d/kv3r-sources.sources
derive_source_entries() {
  local files=() f
  [ -f "$apt_dir/sources.list" ] && files+=("$apt_dir/sources.list")
  for f in "$apt_dir"/sources.list.d/*.list "$apt_dir"/sources.list.d/*.sources; do
    if [ -f "$f" ] && [ "$f" != "$src_list" ]; then files+=("$f"); fi
  done
  [ ${#files[@]} -gt 0 ] || return 0
  awk '
    function trim(text) { sub(/^[ \t\n]+/, "", text); sub(/[ \t\n]+$/, "", text); return text }
    # One entry per type, URI and suite; a binary entry seen again adds its components.
    function add(type, uri, suite, components, signedBy, trusted,   key, i, j, n, c) {
      key = uri; sub(/\/+$/, "", key); key = key " " suite
      if (type == "deb-src") { haveSource[key] = 1; return }
      if (type != "deb") return
      if (!(key in entry)) {
        entry[key] = ++count; keys[count] = key
        uris[count] = uri; suites[count] = suite; signed[count] = signedBy; trust[count] = trusted
      }
      i = entry[key]
      if (signed[i] == "") signed[i] = signedBy
      if (trust[i] == "") trust[i] = trusted
      n = split(components, c, /[ \t\n]+/)
      for (j = 1; j <= n; j++) {
        if (c[j] != "" && index(" " comps[i] " ", " " c[j] " ") == 0) comps[i] = trim(comps[i] " " c[j])
      }
    }
    # deb822 stanza: every type x URI x suite.
    function flush(   t, u, s, nt, nu, ns, a, b, d) {
      if (!inStanza) return
      inStanza = 0
      if (tolower(trim(field["enabled"])) != "no") {
        nt = split(trim(field["types"]), t, /[ \t\n]+/)
        nu = split(trim(field["uris"]), u, /[ \t\n]+/)
        ns = split(trim(field["suites"]), s, /[ \t\n]+/)
        for (a = 1; a <= nt; a++) for (b = 1; b <= nu; b++) for (d = 1; d <= ns; d++)
          add(t[a], u[b], s[d], field["components"], field["signed-by"], trim(field["trusted"]))
      }
      split("", field)
      name = ""
    }
    FNR == 1 { flush(); deb822 = FILENAME ~ /\.sources$/ }
    deb822 && /^#/ { next }
    deb822 && /^[ \t]*$/ { flush(); next }
    deb822 && /^[ \t]/ { if (name != "") field[name] = field[name] "\n" $0; next }
    deb822 {
      colon = index($0, ":")
      if (colon == 0) next
      name = tolower(trim(substr($0, 1, colon - 1)))
      field[name] = substr($0, colon + 1); sub(/^[ \t]+/, "", field[name]); sub(/[ \t]+$/, "", field[name])
      inStanza = 1
      next
    }
    # One-line entry: type [options] URI suite [components].
    {
      line = $0; sub(/#.*/, "", line)
      n = split(trim(line), w, /[ \t]+/)
      if (n < 3) next
      i = 2; options = ""
      if (w[2] ~ /^\[/) {
        for (; i <= n; i++) { options = options " " w[i]; if (w[i] ~ /\]$/) { i++; break } }
        gsub(/[\[\]]/, " ", options)
      }
      signedBy = ""; trusted = ""
      no = split(trim(options), o, /[ \t]+/)
      for (k = 1; k <= no; k++) {
        if (o[k] ~ /^signed-by=/) signedBy = substr(o[k], 11)
        if (o[k] ~ /^trusted=/) trusted = substr(o[k], 9)
      }
      if (i + 1 > n) next
      components = ""
      for (k = i + 2; k <= n; k++) components = components " " w[k]
      add(w[1], w[i], w[i + 1], components, signedBy, trusted)
    }
    END {
      flush()
      for (i = 1; i <= count; i++) {
        if (keys[i] in haveSource) continue
        print "Types: deb-src"
        print "URIs: " uris[i]
        print "Suites: " suites[i]
        if (comps[i] != "") print "Components: " comps[i]
        if (signed[i] ~ /^\n/) print "Signed-By:" signed[i]; else if (signed[i] != "") print "Signed-By: " signed[i]
        if (trust[i] != "") print "Trusted: " trust[i]
        print ""
      }
    }
  ' "${files[@]}"
}
update_source_entries() {
  local entries
  entries=$(derive_source_entries)
  if [ -z "$entries" ]; then
    if [ -f "$src_list" ]; then rm -f "$src_list"; echo changed; fi
    return 0
  fi
  entries="# Written by kv3r's tools/setup.sh from this machine's binary entries.
$entries"
  if [ "$(cat "$src_list" 2>/dev/null)" != "$entries" ]; then
    printf '%s\n' "$entries" > "$src_list"
    echo changed
  fi
}

# A mirror caught mid-sync fails one index for a minute or two: try again,
# and if it still fails, install from the lists that did arrive; the install
# itself says so if a package is really missing.
update_package_lists() {
  local attempt
  for attempt in 1 2 3 4; do
    if apt-get update -qq -o Acquire::Retries=3; then return 0; fi
    echo "setup: fetching the package lists failed (attempt $attempt of 4)" >&2
    [ "$attempt" -lt 4 ] && sleep $((attempt * 15))
  done
  echo "setup: going on with the package lists that arrived" >&2
}

# The stamp remembers the package list and this script, so a changed list or
# a changed set-up installs again.
stamp=/var/lib/kv3r-setup.done
wanted=$({ printf '%s\n' "${packages[@]}"; cat "${BASH_SOURCE[0]}"; } | sha256sum | cut -d' ' -f1)
sources_changed=$(update_source_entries)
if [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ] || [ -n "$sources_changed" ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  update_package_lists
  if apt-get install -y -qq -o Acquire::Retries=3 --no-install-recommends "${packages[@]}" >/dev/null; then
    echo "$wanted" > "$stamp"
  else
    # A mirror caught mid-sync can leave the i386 lists behind the amd64
    # ones, and then no i386 package installs. The 32-bit Wine is the only
    # thing lost: the Windows tests then run as the 64-bit build. No stamp,
    # so the next set-up tries the whole list again.
    native=()
    for package in "${packages[@]}"; do
      case $package in *:i386|wine32) ;; *) native+=("$package") ;; esac
    done
    echo "setup: the i386 packages did not install; going on without the 32-bit Wine" >&2
    apt-get install -y -qq -o Acquire::Retries=3 --no-install-recommends "${native[@]}" >/dev/null
  fi
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
echo "setup: ready ($SECONDS s)"
