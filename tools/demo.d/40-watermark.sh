# Watermark: three jobs rendered by the shipped program on an A4 page at
# 600 dpi, exactly as the driver asks for them (a job INI file written by
# drvsim, then "mfpsm.exe CreateTextBMP job.ini"). The BMP files and PNG
# copies land in out/.
source "$MFPSM_ROOT/tools/demo-lib.sh"
run() { "$MFPSM_ROOT/tools/wine-run" "$@"; }
winpath() { run winepath -w "$1" 2>/dev/null | tr -d '\r'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

render() {
  local name=$1; shift
  local ini="$work/$name.ini"
  : >"$ini"
  run "$MFPSM_BIN/drvsim.exe" watermark --ini "$(winpath "$ini")" \
    --bmp "$(winpath "$MFPSM_OUT")\\watermark-$name.bmp" "$@"
  rm -f "$MFPSM_OUT/watermark-$name.bmp"
  run "$MFPSM_BIN/mfpsm.exe" CreateTextBMP "$(winpath "$ini")" || true
  if [ ! -s "$MFPSM_OUT/watermark-$name.bmp" ]; then
    echo "watermark-$name: no BMP was written" >&2
    return 1
  fi
  convert "$MFPSM_OUT/watermark-$name.bmp" "$MFPSM_OUT/watermark-$name.png"
  echo "watermark-$name: $(identify -format '%w x %h, %[bit-depth]-bit' "$MFPSM_OUT/watermark-$name.bmp") -> out/watermark-$name.png"
}

render confidential --text CONFIDENTIAL --face Arial --size 100 --angle 45 --placement 0 --density 60
render draft-tiled --text DRAFT --face Arial --size 36 --angle 30 --placement 1 --density 40 --halftone 1
render bold-italic-90 --text "Internal use only" --face Arial --size 80 --style 3 --angle 90 --placement 0 --density 100 --halftone 7
