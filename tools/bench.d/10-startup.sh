# Start-up cost: a start without a command word (status file already present),
# median of 5 runs, Wine's own process start included.
set -euo pipefail
times=()
for i in 1 2 3 4 5; do
  start=$(date +%s%N)
  "$MFPSM_ROOT/tools/wine-run" "$MFPSM_BIN/mfpsm.exe" || true
  end=$(date +%s%N)
  times+=($(( (end - start) / 1000000 )))
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
echo "start without command word (under Wine, process included) | $median | ms | -"
