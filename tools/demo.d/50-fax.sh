# Fax cover page: a fax driver's "CreateTextBMP" job rendered by the shipped
# program. drvsim writes the fax files (str.ini, cover.ini) and the job INI
# with the fax bit (driver type 0x200); the BMP files and PNG copies land in
# out/.
source "$MFPSM_ROOT/tools/demo-lib.sh"
run() { "$MFPSM_ROOT/tools/wine-run" "$@"; }
winpath() { run winepath -w "$1" 2>/dev/null | tr -d '\r'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

render() {  # name width height drvsim-fax-options...
  local name=$1 width=$2 height=$3; shift 3
  local ini="$work/$name.ini" bmp="$MFPSM_OUT/fax-$name.bmp"
  : >"$ini"
  run "$MFPSM_BIN/drvsim.exe" fax "$@" >/dev/null
  run "$MFPSM_BIN/drvsim.exe" watermark --ini "$(winpath "$ini")" --bmp "$(winpath "$MFPSM_OUT")\\fax-$name.bmp" \
    --driver-type 512 --width "$width" --height "$height" --density 100
  rm -f "$bmp"
  run "$MFPSM_BIN/mfpsm.exe" CreateTextBMP "$(winpath "$ini")" || true
  if [ ! -s "$bmp" ]; then
    echo "fax-$name: no BMP was written" >&2
    return 1
  fi
  convert "$bmp" "$MFPSM_OUT/fax-$name.png"
  echo "fax-$name: $(identify -format '%w x %h, %[bit-depth]-bit' "$bmp") -> out/fax-$name.png"
}

# A4 at 204 x 196 dots per inch: 1728 x 2292 pixels.
render a4-cover 1728 2292 --paper 9 --cover 1 --name "Ana Ruiz" --com "Orchard Works" --dep Purchasing \
  --tel "555 0100" --faxnum "555 0199" --message "Please find the signed order attached." "Call me back on Monday."
render from-line 1728 2292 --cover 2 --name "Ana Ruiz"
