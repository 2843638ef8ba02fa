# Resident monitor: a virtual USB printer with one queued job, the driver side
# (drvsim) posting statuses, and the user pressing Delete and Continue. With
# Xvfb present the story runs on a virtual screen and the dialog is saved as
# pictures in out/.
source "$MFPSM_ROOT/tools/demo-lib.sh"
run() { "$MFPSM_ROOT/tools/wine-run" "$@"; }
drvsim() { run "$MFPSM_BIN/drvsim.exe" "$@"; }

xvfb=""
spool=$(mktemp -d)
monitor=""
cleanup() {
  if [ -n "$monitor" ] && kill -0 "$monitor" 2>/dev/null; then
    drvsim monitor-exit >/dev/null 2>&1 || true
    wait "$monitor" 2>/dev/null || true
  fi
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$spool"
}
trap cleanup EXIT

if command -v Xvfb >/dev/null && command -v import >/dev/null; then
  export WINEPREFIX="$MFPSM_ROOT/build/wineprefix-x11"
  export MFPSM_WINE_GRAPHICS=x11
  start_xvfb 800x600
  echo "virtual screen $DISPLAY for the pictures"
fi
run cmd /c exit >/dev/null 2>&1 || true  # makes the prefix on first use

# The virtual printer: the spooler stand-in beside the program keeps its
# printers and queue in this folder.
printf 'nextjob\t100\nprinter\tOffice MFP\tUSB001\t0\t0\t0\njob\tOffice MFP\t7\tReport.pdf\n' >"$spool/state.txt"
export MFPSM_SPOOL_DIR="$(run winepath -w "$spool" 2>/dev/null | tr -d '\r')"
export WINEDLLOVERRIDES="winspool.drv=n"
echo "printer \"Office MFP\" on USB001, queue: job 7 (Report.pdf)"

seen=0
report() {
  local record="$spool/record.txt"
  if [ -f "$record" ]; then
    awk -F'\t' -v skip="$seen" 'NR > skip {
      if ($1 == "SetPrinter") printf "  spooler: status word 0x%x set on %s\n", $4, $2;
      if ($1 == "SetJob") printf "  spooler: job %s command %s (%s)\n", $6, $5, ($3 == "1" ? "done" : "refused") }' "$record"
    seen=$(wc -l <"$record")
  fi
  local keys
  keys=$(drvsim get | tr -d '\r')
  echo "  status file: $(echo "$keys" | grep -E '^(Message|ContinuePrint)=' | tr '\n' ' ')"
  echo "  queue now: $(awk -F'\t' '$1 == "job" { printf "job %s (%s) ", $3, $4 }' "$spool/state.txt")"
}
shot() {
  [ -n "$xvfb" ] || return 0
  sleep 1
  import -display "$DISPLAY" -window root -crop 640x490+0+0 +repage "$MFPSM_OUT/$1"
  echo "  picture: out/$1"
}

# A fresh status exchange file: no ContinuePrint or ShowSM left from before.
rm -f "$(run winepath -u 'C:\users\Public\Documents\StatusMonitorV3.ini' 2>/dev/null | tr -d '\r')"
run "$MFPSM_BIN/mfpsm.exe" install &
monitor=$!
sleep 3
echo "mfpsm.exe install -> resident monitor"

echo
echo "1. The driver reports a paper jam with the front cover open (33|5|)."
quiet drvsim status 33 5 --printer "Office MFP" --job 7
sleep 1
report
shot monitor-two-items.png
echo "   The user presses Delete."
drvsim press delete
drvsim wait Message 0
report

echo
echo "2. The driver reports a paper mismatch and eleven other conditions."
quiet drvsim status 35 5 2 6 80 135 257 260 261 265 268 278 279 --job 7
sleep 1
report
shot monitor-twelve-items.png
echo "   The user presses Continue."
drvsim press continue
drvsim wait ContinuePrint 1
report

echo
echo "3. The driver takes the status down (Message 1026)."
drvsim close
drvsim wait Message 0
report

drvsim monitor-exit
wait "$monitor" && code=0 || code=$?
monitor=""
echo "monitor ended with WM_SM_EXIT, exit code $code"
