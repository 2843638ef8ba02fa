#!/usr/bin/env bash
# make demo: runs each story of tools/demo.d in order against the built
# program and leaves what it produced in out/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export MFPSM_ROOT="$root"
export MFPSM_BIN="$root/build/win64"
export MFPSM_OUT="$root/out"
mkdir -p "$MFPSM_OUT"
for story in "$root"/tools/demo.d/*.sh; do
  echo
  echo "=== $(basename "$story" .sh) ==="
  bash "$story"
done
echo
echo "demo outputs are in out/"
