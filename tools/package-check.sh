#!/usr/bin/env bash
# Makes a release package and uses it as a user would.
#   package-check.sh deb           the Debian package from build/linux: installs it,
#                                  runs the installed kv3r from a new folder, removes it
#   package-check.sh zip [PRESET]  the ZIP from build/PRESET (windows where 32-bit
#                                  programs run here, else windows64): unpacks it to a
#                                  new folder and runs its kv3r.exe there under Wine
# Each builds what its package holds first (configuring the preset's folder
# when it is new), so it works right after tools/run-benchmark.sh. Whatever the check installed, unpacked or
# started is removed or stopped again, also when it fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

fail() {
  echo "package-check: $*" >&2
  exit 1
}

# One package file made by CPack from the build folder's install rules,
# after building what they install (CPack builds nothing).
make_package() {
  local build=$1 generator=$2 pattern=$3 preset
  preset=$(basename "$build")
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset "$preset" >/dev/null || fail "cmake --preset $preset failed"
  fi
  cmake --build --preset "$preset" --target kv3r_package_contents >/dev/null ||
    fail "building the package's programs failed (cmake --build --preset $preset --target kv3r_package_contents)"
  rm -f "$build"/packages/$pattern
  (cd "$build" && cpack -G "$generator" -B packages >/dev/null) || fail "cpack -G $generator failed in $build"
  local files=("$build"/packages/$pattern)
  [ -f "${files[0]}" ] || fail "cpack made no $pattern in $build/packages"
  echo "${files[0]}"
}

expect_files() {
  local folder=$1 file
  shift
  for file in "$@"; do [ -e "$folder/$file" ] || fail "$file is missing"; done
}

# A run that measured and saved: 0, or 3 when a busy machine hid every cost.
run_measured() {
  local code=0
  "$@" || code=$?
  [ "$code" = 0 ] || [ "$code" = 3 ]
}

# The results of one run, in the folder it ran in.
expect_results() {
  local folder=$1 kind
  shift
  for kind in "$@"; do
    compgen -G "$folder/KV3D_*.$kind" >/dev/null || fail "no KV3D_*.$kind in the folder kv3r ran in"
  done
}

# What check_deb installed and made, removed also when a check fails.
package="" work="" installed=0
remove_deb() {
  if [ "$installed" = 1 ]; then dpkg -r "$package" >/dev/null || echo "package-check: dpkg -r $package failed" >&2; fi
  [ -z "$work" ] || rm -rf "$work"
}

check_deb() {
  local deb
  package=korvanta3ruzevo
  dpkg -s "$package" >/dev/null 2>&1 && fail "$package is already installed here: remove it first (dpkg -r $package)"
  deb=$(make_package build/linux DEB '*.deb')
  echo "$deb"
  dpkg-deb -f "$deb" Depends | grep -q 'libopenal1' || fail "the package does not depend on libopenal1"
  work=$(mktemp -d)
  trap remove_deb EXIT
  installed=1
  apt-get install -y -qq "$root/$deb" >/dev/null || fail "installing $deb failed"
  expect_files / usr/bin/kv3r usr/bin/Korvanta3RUzevoDataAnalyzer usr/share/korvanta3ruzevo/dataresults.xsl \
    usr/share/man/man1/kv3r.1.gz
  [ "$(command -v kv3r)" = /usr/bin/kv3r ] || fail "kv3r on the PATH is not the installed one"
  # The installed kv3r, from a folder with nothing of ours in it: it must
  # find its analyzer where the package put it.
  (cd "$work" && run_measured kv3r run --openal-output null --seconds 1 --buffers 4) || fail "the installed kv3r run failed"
  expect_results "$work" xml html
  echo "package-check: the installed kv3r wrote its results file and report"
}

check_zip() {
  local preset=${1:-} zip work folder dll program
  if [ -z "$preset" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then preset=windows; else preset=windows64; fi
  fi
  local build=build/$preset prefix=$root/build/$preset/wineprefix
  zip=$(make_package "$build" ZIP '*.zip')
  echo "$zip"
  work=$(mktemp -d)
  # shellcheck disable=SC2064
  trap "'$root/tools/wine-run' --prefix '$prefix' --stop; rm -rf '$work'" EXIT
  (cd "$work" && cmake -E tar xf "$root/$zip") || fail "unpacking $zip failed"
  folder=$(echo "$work"/*/)
  folder=${folder%/}
  [ -d "$folder" ] || fail "$zip holds no folder"
  expect_files "$folder" Korvanta3RUzevo.exe kv3r.exe Korvanta3RUzevoDataAnalyzer.exe dataresults.xsl README.txt \
    licences/gcc-runtime.txt licences/mingw-w64-runtime-winpthreads.txt licences/tinyxml2.txt \
    licences/CLI11.txt licences/nlohmann-json.txt
  # Every DLL a program imports is either in the folder or part of every Windows.
  local objdump
  objdump=$(sed -n 's/^CMAKE_OBJDUMP:FILEPATH=//p' "$build/CMakeCache.txt")
  for program in "$folder"/*.exe; do
    for dll in $("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
      [ -e "$folder/$dll" ] && continue
      case ${dll,,} in
        kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|comdlg32.dll|advapi32.dll|shell32.dll|ole32.dll|\
        oleaut32.dll|winmm.dll|msvcrt.dll|ws2_32.dll|version.dll|shlwapi.dll|powrprof.dll|ntdll.dll|\
        api-ms-win-*) ;;
        *) fail "$(basename "$program") needs $dll, which is neither in the ZIP nor part of Windows" ;;
      esac
    done
  done
  # Its own kv3r.exe in the folder it was unpacked to: the results file and
  # the analyzer's report must appear there.
  (cd "$folder" && run_measured "$root/tools/wine-run" --prefix "$prefix" ./kv3r.exe run --backend DirectSound --seconds 1 --buffers 4) ||
    fail "kv3r.exe from the ZIP failed under Wine"
  expect_results "$folder" xml html
  echo "package-check: kv3r.exe from the ZIP wrote its results file and report"
}

case ${1:-} in
  deb) check_deb ;;
  zip) check_zip "${2:-}" ;;
  *) echo "usage: package-check.sh deb | zip [windows|windows64]" >&2; exit 2 ;;
esac
