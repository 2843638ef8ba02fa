#!/usr/bin/env bash
# make bench: every measurement of tools/bench.d prints rows
# "name | value | unit | target"; this script gathers them into one table.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export MFPSM_ROOT="$root"
export MFPSM_BIN="$root/build/win64"
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
for bench in "$root"/tools/bench.d/*.sh; do
  bash "$bench" >>"$rows"
done
printf '%-58s | %14s | %-8s | %s\n' "measurement" "value" "unit" "target"
printf '%s\n' "-----------------------------------------------------------+----------------+----------+-----------------"
while IFS='|' read -r name value unit target; do
  printf '%-58s | %14s | %-8s | %s\n' "$(echo $name)" "$(echo $value)" "$(echo $unit)" "$(echo $target)"
done <"$rows"
