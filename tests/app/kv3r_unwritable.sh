#!/usr/bin/env bash
# The real program in places that cannot take its results: /proc and a
# read-only file system are refused before anything is measured, naming the
# file system (the system's "No such file or directory" alone misleads); on a full one the run is
# measured, the save fails with the path and the system's reason, no file
# is left behind, and the exit code is 1. Needs root to mount tmpfs (77: skipped).
#   kv3r_unwritable.sh KV3R WORK
set -u
kv3r=$1 work=$2
mkdir -p "$work" || exit 1
mount_point=$work/mnt
mkdir -p "$mount_point"
cleanup() { cd /; umount "$mount_point" 2>/dev/null; }
trap cleanup EXIT
run() { "$kv3r" --openal-output null run --method 2 --seconds 0 --3d-hardware 0 --3d-eax 0 --buffers 1 >"$work/out.txt" 2>&1; }
fail() { echo "FAIL: $*"; cat "$work/out.txt"; exit 1; }

if [ -d /proc/self ]; then
  cd /proc
  run; status=$?
  cd "$work"
  [ "$status" -eq 1 ] || fail "/proc: exit code $status, not 1"
  grep -q "Cannot write results in the current directory (KV3D_probe\..*\.tmp): .* (the folder is on proc, a virtual file system" out.txt \
    || fail "/proc: the file system is not named"
fi

mount -t tmpfs -o ro,size=64k tmpfs "$mount_point" 2>/dev/null || { echo "cannot mount tmpfs here: skipped"; exit 77; }
cd "$mount_point"
run; status=$?
cd "$work"
[ "$status" -eq 1 ] || fail "read-only: exit code $status, not 1"
grep -q "Cannot write results in the current directory (KV3D_probe\..*\.tmp): Read-only file system" out.txt \
  || fail "read-only: the reason is not given"
grep -q "Empty test" out.txt && fail "read-only: it measured anyway"
umount "$mount_point"

# One page: the debug log takes it, the results file finds none.
mount -t tmpfs -o size=4k tmpfs "$mount_point" || exit 1
cd "$mount_point"
run; status=$?
ls -a > "$work/left.txt"
cd "$work"
[ "$status" -eq 1 ] || fail "full: exit code $status, not 1"
grep -q "^Cannot save KV3D_.*\.xml: No space left on device$" out.txt || fail "full: the path and reason are not given"
grep -q "Results file:" out.txt && fail "full: a results file is claimed"
grep -q "KV3D_" left.txt && fail "full: a partial file was left: $(cat left.txt)"
echo "both refused as they should be"
