# Fax cover page: a fax driver's "CreateTextBMP" job for an A4 cover page at
# 600 dpi (4960 x 7016): end to end (median of 5 runs, Wine's process start
# included) and inside the process (from reading the record to the closed BMP,
# a fresh process each run, median of 7).
set -euo pipefail
run() { "$MFPSM_ROOT/tools/wine-run" "$@"; }
winpath() { run winepath -w "$1" 2>/dev/null | tr -d '\r'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: >"$work/job.ini"
run "$MFPSM_BIN/drvsim.exe" fax --paper 9 --cover 1 --name "Ana Ruiz" --message "First line." "Second line." >/dev/null
run "$MFPSM_BIN/drvsim.exe" watermark --ini "$(winpath "$work/job.ini")" --bmp "$(winpath "$work")\\page.bmp" \
  --driver-type 512 --width 4960 --height 7016 --density 100
ini=$(winpath "$work/job.ini")

times=()
for i in 1 2 3 4 5; do
  rm -f "$work/page.bmp"
  start=$(date +%s%N)
  run "$MFPSM_BIN/mfpsm.exe" CreateTextBMP "$ini" || true
  end=$(date +%s%N)
  if [ ! -s "$work/page.bmp" ]; then
    echo "fax CreateTextBMP wrote no BMP" >&2
    exit 1
  fi
  times+=($(( (end - start) / 1000000 )))
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
echo "CreateTextBMP, fax A4 cover page at 600 dpi (4960 x 7016) | $median | ms | -"
inside=$(for i in 1 2 3 4 5 6 7; do
  run "$MFPSM_BIN/bench_watermark.exe" inside "$ini" | tr -d '\r'
done | sort -n | sed -n 4p)
echo "CreateTextBMP, fax A4 cover page, inside the process | $inside | ms | <= 150"
