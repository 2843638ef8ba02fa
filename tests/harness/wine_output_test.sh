#!/usr/bin/env bash
# A Windows program run the way CTest runs one (tools/wine-run, output to a
# pipe) must be seen to end when it ends, even when Wine started a helper
# process for it that lives on: here the desktop of a new desktop name, whose
# explorer.exe Wine starts as the program's child with its standard error,
# and which stays up because a second program still uses it.
#   tests/harness/wine_output_test.sh PATH/TO/desktop_user.exe
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program=$1
name="mfpsm-output-test-$$"
scratch=$(mktemp -d)
reader=""

cleanup() {
  [ -n "$reader" ] && kill "$reader" 2>/dev/null || true
  pkill -f "desktop_user.exe hold $name" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  echo "--- output received:"
  cat "$scratch/got" || true
  exit 1
}

mkfifo "$scratch/pipe"
cat "$scratch/pipe" > "$scratch/got" &
reader=$!

set +e
"$root/tools/wine-run" "$program" start "$name" > "$scratch/pipe" 2>&1
code=$?
set -e
[ "$code" = 0 ] || fail "desktop_user start ended with $code"

# The program has ended; its output must close at once, whoever Wine started.
for _ in $(seq 50); do
  kill -0 "$reader" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$reader" 2>/dev/null; then
  holders=$( (find /proc/[0-9]*/fd -lname "$scratch/pipe" 2>/dev/null || true) | cut -d/ -f3 | sort -u |
            while read -r pid; do tr '\0' ' ' < "/proc/$pid/cmdline" 2>/dev/null; echo; done)
  fail "the program ended but its output is still held open 5 s later by:
$holders"
fi
reader=""

grep -q "started by this program" "$scratch/got" || fail "Wine started no desktop for the program"
grep -q "last line, on standard error" "$scratch/got" || fail "the last line of standard error was lost"
# Only a desktop that outlived the program makes this a test of anything.
pgrep -f "desktop_user.exe hold $name" >/dev/null || fail "the desktop's second user is gone already"
echo "PASSED: output closed when the program ended; its desktop process lives on"
cat "$scratch/got"
