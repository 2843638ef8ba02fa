#!/usr/bin/env bash
# make demo: runs each story of tools/demo.d in order against the built
# program and leaves what it produced in out/. A story that fails ends the
# demo with its exit code, after the failed step has named itself
# (tools/demo-lib.sh) and the last lines of the story's output are shown
# again. MFPSM_DEMO_DISPLAY sets the first X display number the stories try
# for their virtual screens (default 50).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export MFPSM_ROOT="$root"
export MFPSM_BIN="$root/build/win64"
export MFPSM_OUT="$root/out"
mkdir -p "$MFPSM_OUT"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for story in "$root"/tools/demo.d/*.sh; do
  name=$(basename "$story" .sh)
  echo
  echo "=== $name ==="
  code=0
  bash "$story" 2>&1 | tee "$log" || code=${PIPESTATUS[0]}
  if [ "$code" -ne 0 ]; then
    echo
    echo "demo: story $name failed with exit code $code; the last lines of its output:"
    tail -n 20 "$log" | sed 's/^/  | /'
    exit "$code"
  fi
done
echo
echo "demo outputs are in out/"
