# Watermark job: a tiled "DRAFT", 36 pt, 30 degrees, density 60, on an A4 and
# an A3 page at 600 dpi.
#
# Inside the process: the job's own time, from reading the record to the
# closed BMP, in a fresh process each run (Wine's font set-up included, its
# process start not), median of 7. Set against Ghostscript's whole process
# (start-up included) drawing the same page: Helvetica 36 pt "DRAFT" tiled at
# 30 degrees, 0.8 grey, 600 dpi, 1-bit BMP, median of 7, in the same run.
#
# End to end: "CreateTextBMP" as the driver starts it, Wine's process start
# included (median of 5).
#
# Peak memory is sampled by a parent process while the job runs (peak private
# bytes, GetProcessMemoryInfo). That figure includes some 5 MiB that every
# process of ours has under Wine, so the job's own cost is also given as the
# peak above that of the same job on a 16 x 16 picture, set against the size
# of the picture buffer.
set -euo pipefail
run() { "$MFPSM_ROOT/tools/wine-run" "$@"; }
winpath() { run winepath -w "$1" 2>/dev/null | tr -d '\r'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

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
inside() {  # name -> ms
  local ini
  ini=$(winpath "$work/$1.ini")
  for i in 1 2 3 4 5 6 7; do
    run "$MFPSM_BIN/bench_watermark.exe" inside "$ini" | tr -d '\r'
  done | median
}
ghostscript() {  # width height -> ms of the whole process
  cat >"$work/page.ps" <<'EOF'
%!PS
/Helvetica findfont 36 scalefont setfont
0.8 setgray
currentpagedevice /PageSize get aload pop 2 div exch 2 div exch translate
30 rotate
-900 66 900 { /y exch def -900 150 900 { y moveto (DRAFT) show } for } for
showpage
EOF
  for i in 1 2 3 4 5 6 7; do
    local start end
    start=$(date +%s%N)
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bmpmono -r600 -g"$1x$2" -dFIXEDMEDIA \
      -sOutputFile="$work/gs.bmp" "$work/page.ps"
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
  done | median
}
picture_bytes() {  # width height
  echo $(( ( ($1 + 7) / 8 + 3) / 4 * 4 * $2 ))
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

job tiny 16 16
job a4 4960 7016
job a3 7016 9920
read -r _ base _ < <(measure tiny)
a4_inside=
for page in "a4 4960 7016 A4" "a3 7016 9920 A3"; do
  read -r name width height label <<<"$page"
  read -r ms peak _ < <(measure "$name")
  if [ ! -s "$work/$name.bmp" ]; then
    echo "CreateTextBMP $label wrote no BMP" >&2
    exit 1
  fi
  ours=$(inside "$name")
  theirs=$(ghostscript "$width" "$height")
  bytes=$(picture_bytes "$width" "$height")
  echo "CreateTextBMP, tiled $label at 600 dpi ($width x $height), end to end | $ms | ms | -"
  echo "CreateTextBMP, tiled $label, inside the process | $ours | ms | -"
  echo "Ghostscript, the same $label page, whole process | $theirs | ms | -"
  echo "tiled $label: job inside the process / Ghostscript's whole process | $(ratio "$ours" "$theirs") | ratio | <= 1.0 (stretch <= 0.5)"
  if [ -z "$a4_inside" ]; then
    a4_inside=$ours
  else
    echo "tiled A3 / tiled A4, inside the process (area ratio $(ratio $((7016 * 9920)) $((4960 * 7016)))) | $(ratio "$ours" "$a4_inside") | ratio | <= $(ratio $((7016 * 9920)) $((4960 * 7016)))"
  fi
  echo "peak private bytes, tiled $label job (picture $(awk -v p="$bytes" 'BEGIN{printf "%.1f", p/1048576}') MiB) | $(awk -v b="$peak" 'BEGIN{printf "%.1f", b/1048576}') | MiB | -"
  echo "peak private bytes above a 16 x 16 job / picture size, $label | $(awk -v w="$peak" -v z="$base" -v p="$bytes" 'BEGIN{printf "%.2f", (w-z)/p}') | ratio | <= 2"
done
run "$MFPSM_BIN/bench_watermark.exe" halftone | tr -d '\r'
