# Display scaling: the status dialog with twelve items and the secure print
# prompt in Simplified Chinese on screens scaled to 150 % (144 DPI), 200 %
# (192 DPI), 250 % (240 DPI) and 300 % (288 DPI), each in a Wine prefix of
# its own (tools/wine-run, MFPSM_WINE_DPI).
# Needs Xvfb and ImageMagick for the pictures; without them it says so and
# ends.
source "$MFPSM_ROOT/tools/demo-lib.sh"
if ! command -v Xvfb >/dev/null || ! command -v import >/dev/null; then
  echo "no Xvfb or ImageMagick: no pictures at 150 % to 300 %"
  exit 0
fi

export MFPSM_WINE_GRAPHICS=x11 WINEPREFIX="$MFPSM_ROOT/build/wineprefix-x11"
spool=$(mktemp -d /tmp/mfpsm-demo-scaling.XXXXXX)
xvfb=""
stop() {
  if [ -n "$xvfb" ]; then
    "$MFPSM_ROOT/tools/wine-run" --session-end || true  # this prefix's programs, all started here
    kill "$xvfb" 2>/dev/null || true
  fi
  rm -rf "$spool"
}
trap stop EXIT
printf 'nextjob\t100\nprinter\tOffice MFP\tUSB001\t0\t0\t0\njob\tOffice MFP\t7\tReport.pdf\n' >"$spool/state.txt"
export MFPSM_SPOOL_DIR="Z:${spool//\//\\}" WINEDLLOVERRIDES="winspool.drv=n"

# The screen with the windows on it, cut to what is not the black root.
shot() {
  sleep 1
  import -display "$DISPLAY" -window root "$spool/screen.png"
  convert "$spool/screen.png" -trim +repage "$MFPSM_OUT/$1"
  echo "  picture: out/$1 ($(identify -format '%w x %h' "$MFPSM_OUT/$1"))"
}

# The status dialog is about 7.1 by 5.2 inches: at 300 % a screen of
# 2040 x 1500 pixels, whose work area it fits.
for percent in 150 200 250 300; do
  export MFPSM_WINE_DPI=$((percent * 96 / 100))
  start_xvfb 2400x1800
  run() { "$MFPSM_ROOT/tools/wine-run" "$@"; }
  run --session-start
  # Captions are drawn in Tahoma; link it to the CJK font like Courier New.
  run reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1 || true
  echo "${percent} % ($MFPSM_WINE_DPI DPI), virtual screen $DISPLAY"

  rm -f "$(run winepath -u 'C:\users\Public\Documents\StatusMonitorV3.ini' 2>/dev/null | tr -d '\r')"
  run "$MFPSM_BIN/mfpsm.exe" install &
  monitor=$!
  sleep 3
  quiet run "$MFPSM_BIN/drvsim.exe" status 35 5 2 6 80 135 257 260 261 265 268 278 279 --printer "Office MFP" \
    --job 7
  shot "monitor-twelve-items@$percent.png"
  run "$MFPSM_BIN/drvsim.exe" close
  run "$MFPSM_BIN/drvsim.exe" monitor-exit
  wait "$monitor" || true

  run "$MFPSM_BIN/mfpsm.exe" security 2 "Office MFP" 2052 &
  prompt=$!
  run "$MFPSM_BIN/drvsim.exe" prompt-fill "Contract_2" "pw~42"
  shot "prompt-security-zh-cn@$percent.png"
  run "$MFPSM_BIN/drvsim.exe" prompt-ok
  wait "$prompt" || true

  run --session-end
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  xvfb=""
done
