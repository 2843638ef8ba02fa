#!/usr/bin/env bash
# The bitmap jobs do not depend on the display: the same watermark record and
# the same fax cover page give the same BMP bytes in Wine prefixes whose
# displays run at different DPIs.
#   jobs_at_every_dpi.sh BINDIR DPI...
# Each DPI's prefix comes from tools/wine-run (MFPSM_WINE_DPI); what Wine
# prints goes to a log in the scratch folder, shown on failure.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin=$1
shift
work=$(mktemp -d /tmp/mfpsm-dpi-jobs.XXXXXX)
trap 'rm -rf "$work"' EXIT
win="Z:${work//\//\\}"
log="$work/wine.log"

fail() {
  echo "FAILED: $*"
  cat "$log" 2>/dev/null || true
  exit 1
}

render() {  # dpi
  local dpi=$1 out="$work/$1"
  mkdir -p "$out"
  run() { MFPSM_WINE_DPI=$dpi "$root/tools/wine-run" "$@" >>"$log" 2>&1; }
  : >"$out/watermark.ini"
  run "$bin/drvsim.exe" watermark --ini "$win\\$dpi\\watermark.ini" --bmp "$win\\$dpi\\watermark.bmp" \
    --text "Draft copy" --size 60 --style 1 --angle 30 --placement 1 --width 1200 --height 900 \
    || fail "drvsim watermark at $dpi DPI"
  run "$bin/mfpsm.exe" CreateTextBMP "$win\\$dpi\\watermark.ini" || true
  run "$bin/drvsim.exe" fax --paper 9 --cover 1 --name "Ana Ruiz" --com "Orchard Works" --tel "555 0100" \
    --message "Please find the signed order attached." || fail "drvsim fax at $dpi DPI"
  : >"$out/fax.ini"
  run "$bin/drvsim.exe" watermark --ini "$win\\$dpi\\fax.ini" --bmp "$win\\$dpi\\fax.bmp" --driver-type 512 \
    --width 1728 --height 2292 --density 100 || fail "drvsim fax job at $dpi DPI"
  run "$bin/mfpsm.exe" CreateTextBMP "$win\\$dpi\\fax.ini" || true
  for job in watermark fax; do
    [ -s "$out/$job.bmp" ] || fail "no $job BMP at $dpi DPI"
  done
}

for dpi in "$@"; do
  render "$dpi"
done
first=$1
for dpi in "$@"; do
  for job in watermark fax; do
    cmp -s "$work/$first/$job.bmp" "$work/$dpi/$job.bmp" || fail "$job BMP at $dpi DPI differs from $first DPI"
    echo "$job at $dpi DPI: $(stat -c %s "$work/$dpi/$job.bmp") bytes, $(sha256sum <"$work/$dpi/$job.bmp" | cut -c1-16)"
  done
done
echo "the job BMPs are byte-identical at $* DPI"
