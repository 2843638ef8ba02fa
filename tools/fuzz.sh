#!/usr/bin/env bash
# make fuzz: runs every fuzz target of build/fuzz for a fixed time each
# (FUZZ_SECONDS, default 60), starting from its committed seed corpus; fails
# on the first finding. Crashing inputs are left in build/fuzz/findings/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds="${1:-60}"
build="$root/build/fuzz"
mkdir -p "$build/findings"
status=0
printf '%-16s | %12s | %8s | %s\n' "target" "executions" "seconds" "result"
for program in "$build"/fuzz_*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  target=$(basename "$program")
  target=${target#fuzz_}
  work="$build/corpus/$target"
  mkdir -p "$work"
  log="$build/$target.log"
  if "$program" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
      -artifact_prefix="$build/findings/$target-" "$work" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1; then
    result="no finding"
  else
    result="FINDING (see $log)"
    status=1
  fi
  runs=$(grep -a 'stat::number_of_executed_units' "$log" | awk '{print $2}' | tail -1)
  printf '%-16s | %12s | %8s | %s\n' "$target" "${runs:-?}" "$seconds" "$result"
done
exit $status
