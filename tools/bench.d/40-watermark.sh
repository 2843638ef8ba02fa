# Watermark job: end-to-end time of "CreateTextBMP" for a tiled A4 and A3
# page at 600 dpi (median of 5 runs, Wine's process start included), the
# halftone pass against memcpy, and the job's peak memory.
#
# Peak memory is sampled by a parent process while the job runs (peak private
# bytes, GetProcessMemoryInfo). That figure includes some 5 MiB that every
# process of ours has under Wine, so the job's own cost is also given as the
# peak above that of the same job on a 16 x 16 picture, set against the size
# of the picture buffer.
set -euo pipefail
run() { "$MFPSM_ROOT/tools/wine-run" "$@"; }
winpath() { run winepath -w "$1" 2>/dev/null | tr -d '\r'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
exe=$(winpath "$MFPSM_BIN/mfpsm.exe")

job() {  # name width height
  : >"$work/$1.ini"
  run "$MFPSM_BIN/drvsim.exe" watermark --ini "$(winpath "$work/$1.ini")" --bmp "$(winpath "$work")\\$1.bmp" \
    --text DRAFT --size 36 --angle 30 --placement 1 --density 60 --width "$2" --height "$3"
}
measure() {  # name -> "ms peakPagefile peakWorkingSet"
  run "$MFPSM_BIN/bench_watermark.exe" job 5 "$exe" "$(winpath "$work/$1.ini")" | tr -d '\r'
}
picture_bytes() {  # width height
  echo $(( ( ($1 + 7) / 8 + 3) / 4 * 4 * $2 ))
}

job tiny 16 16
job a4 4960 7016
job a3 7016 9920
read -r _ base _ < <(measure tiny)
for page in "a4 4960 7016 A4" "a3 7016 9920 A3"; do
  read -r name width height label <<<"$page"
  read -r ms peak _ < <(measure "$name")
  if [ ! -s "$work/$name.bmp" ]; then
    echo "CreateTextBMP $label wrote no BMP" >&2
    exit 1
  fi
  bytes=$(picture_bytes "$width" "$height")
  echo "CreateTextBMP, tiled $label at 600 dpi ($width x $height) | $ms | ms | -"
  echo "peak private bytes, tiled $label job (picture $(awk -v p="$bytes" 'BEGIN{printf "%.1f", p/1048576}') MiB) | $(awk -v b="$peak" 'BEGIN{printf "%.1f", b/1048576}') | MiB | -"
  echo "peak private bytes above a 16 x 16 job / picture size, $label | $(awk -v w="$peak" -v z="$base" -v p="$bytes" 'BEGIN{printf "%.2f", (w-z)/p}') | ratio | < 3"
done
run "$MFPSM_BIN/bench_watermark.exe" halftone | tr -d '\r'
