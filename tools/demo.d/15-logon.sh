# The start at logon: "install" records the autostart value, the monitor is
# stopped, and the value's command line is started as the shell starts it at
# logon. It becomes the monitor and writes no value; a second start ends.
source "$MFPSM_ROOT/tools/demo-lib.sh"
run() { "$MFPSM_ROOT/tools/wine-run" "$@"; }
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
# The data of the autostart value, or nothing when there is none.
autostart() { { run reg query "$run_key" /v mfpsm 2>/dev/null || true; } | tr -d '\r' | sed -n 's/^ *mfpsm *REG_SZ *//p'; }

run "$MFPSM_BIN/mfpsm.exe" install &
monitor=$!
sleep 2
run "$MFPSM_BIN/drvsim.exe" monitor-exit
wait $monitor || true
command=$(autostart)
echo "mfpsm.exe install -> autostart value: $command"

quiet run reg delete "$run_key" /v mfpsm /f
echo "value deleted; the logon starts: $command"
run cmd /c "$command" &
monitor=$!
sleep 2
run cmd /c "$command" && code=0 || code=$?
echo "a second logon start -> exit code $code (one monitor per session)"
now=$(autostart)
echo "autostart value now: ${now:-none}"
run "$MFPSM_BIN/drvsim.exe" monitor-exit
wait $monitor && code=0 || code=$?
echo "the logon start was the resident monitor until WM_SM_EXIT, exit code $code"
