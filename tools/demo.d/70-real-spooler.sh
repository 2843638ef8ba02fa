# The real spooler: PREHEAT through Wine's own spooler to a print server of
# the demo's own (tools/print-server, in build/print-server-demo, with a Wine
# prefix of its own), which shows what it received: its list of jobs and a
# hex dump of the wake-up job's bytes. The server and the prefix's Wine
# session are ended on exit.
source "$MFPSM_ROOT/tools/demo-lib.sh"
bin="$MFPSM_BIN"
export MFPSM_PRINT_SERVER_DIR="$MFPSM_ROOT/build/print-server-demo"
export WINEPREFIX="$MFPSM_ROOT/build/wineprefix-demo"
export MFPSM_WINE_PRINT_SERVER=1
export CUPS_SERVER="$MFPSM_PRINT_SERVER_DIR/cups.sock"
spool="$MFPSM_PRINT_SERVER_DIR/spool"

stop_server() {
  run --session-end
  "$MFPSM_ROOT/tools/print-server" stop
}
trap stop_server EXIT
"$MFPSM_ROOT/tools/print-server" start

# Jobs whose bytes the server holds; each is d<job>-001 in its spool.
received() { find "$spool" -maxdepth 1 -name 'd*-001' | sort; }

echo
echo "mfpsm.exe PREHEAT MFP_LAN (Wine's port name CUPS:MFP_LAN has no USB in it)"
run "$bin/mfpsm.exe" PREHEAT MFP_LAN && code=0 || code=$?
echo "  exit code $code; jobs the server holds: $(received | wc -l)"

echo
echo "mfpsm.exe PREHEAT MFP_USB (Wine's port name CUPS:MFP_USB)"
run "$bin/mfpsm.exe" PREHEAT MFP_USB && code=0 || code=$?
echo "  exit code $code"
for _ in $(seq 100); do
  [ -n "$(lpstat -W completed -o MFP_USB)" ] && break
  sleep 0.1
done
echo "  the print server's jobs (lpstat -W all -o):"
lpstat -W all -o | sed 's/^/    /'
job=$(received | tail -n 1)
echo "  what it received ($(basename "$job"), $(stat -c %s "$job") bytes; a * stands for lines like the one above):"
od -A d -t x1z "$job" | sed 's/^/    /'
