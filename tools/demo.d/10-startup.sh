# Start-up: a start without a command word, then the resident monitor
# started with "install" and stopped with WM_SM_EXIT.
source "$MFPSM_ROOT/tools/demo-lib.sh"
run() { "$MFPSM_ROOT/tools/wine-run" "$@"; }
winpath() { run winepath -u "$1" 2>/dev/null; }

run "$MFPSM_BIN/mfpsm.exe" && code=0 || code=$?
echo "mfpsm.exe (no command word) -> exit code $code"
docs=$(run cmd /c echo %PUBLIC%\\Documents 2>/dev/null | tr -d '\r')
status=$(winpath "$docs\\StatusMonitorV3.ini")
echo "status exchange file: $docs\\StatusMonitorV3.ini"
echo "first bytes: $(head -c 2 "$status" | od -An -tx1 | tr -s ' ')"

run "$MFPSM_BIN/mfpsm.exe" install &
monitor=$!
sleep 2
run "$MFPSM_BIN/drvsim.exe" monitor-exit
wait $monitor && code=0 || code=$?
echo "mfpsm.exe install -> resident until WM_SM_EXIT, exit code $code"
