# Prompts and wake-up: the secure print prompt (storage and security print)
# and the accounting prompt in English, Traditional and Simplified Chinese,
# filled through their controls and confirmed with OK; the printer data the
# driver receives; then a PREHEAT sent to a USB printer. Printers are the
# spooler stand-in's (winspool.drv beside the program).
source "$MFPSM_ROOT/tools/demo-lib.sh"
bin="$MFPSM_BIN"
printer="Demo MFP"
prompt_stage "$(printf 'nextjob\t100\nprinter\t%s\tUSB001\t0\t0\t0\n' "$printer")"

# Printer data values stored since the given record line, decoded.
show_printer_data() {
  tail -n +"$1" "$spool/record.txt" 2>/dev/null | awk -F'\t' '
  function byte(h,   i, v) { v = 0; for (i = 1; i <= 2; i++) v = v * 16 + index("0123456789abcdef", substr(h, i, 1)) - 1; return v }
  $1 == "SetPrinterData" {
    hex = $9; size = length(hex) / 2; text = ""; tail_zero = "yes"; ended = 0
    for (i = 1; i <= length(hex); i += 4) {
      unit = substr(hex, i, 4)
      if (!ended && unit == "0000") { ended = 1; continue }
      if (!ended) text = text sprintf("%c", byte(substr(unit, 1, 2)))
      else if (unit != "0000") tail_zero = "no"
    }
    if ($7 == 4) printf "  %-13s REG_DWORD %3d bytes  %d\n", $8, size, byte(substr(hex, 1, 2))
    else printf "  %-13s REG_SZ    %3d bytes  \"%s\" (zeros after the text: %s)\n", $8, size, text, tail_zero
  }'
}

prompt() {
  local shot=$1; shift
  local fill=("${@:2}")
  local from=1
  [ -f "$spool/record.txt" ] && from=$(( $(wc -l < "$spool/record.txt") + 1 ))
  echo
  echo "mfpsm.exe $1"
  # The & inside the eval: a backgrounded eval is a subshell whose errexit
  # would report 1 for the program's exit code, whatever it was.
  eval "run \"\$bin/mfpsm.exe\" $1 &"
  local pid=$!
  run "$bin/drvsim.exe" prompt-fill "${fill[@]}" || { kill "$pid"; return 1; }
  if [ "$shots" = 1 ]; then
    sleep 0.5
    import -window root "$MFPSM_OUT/$shot.png" && echo "  screenshot: out/$shot.png"
  fi
  run "$bin/drvsim.exe" prompt-ok
  local code=0
  wait "$pid" || code=$?
  echo "  exit code $code; printer data of \"$printer\":"
  show_printer_data "$from"
}

prompt prompt-storage-en "security 1 \"$printer\" 1033" "Quarterly-Report"
prompt prompt-security-zh-tw "security 2 \"$printer\" 1028" "Payroll#7" "s3cret pass" --uncheck
prompt prompt-security-zh-cn "security 2 \"$printer\" 2052" "Contract_2" "pw~42"
prompt prompt-accounting-en "accounting \"$printer\" 0" "j.doe@finance" "Sesame 11"
prompt prompt-accounting-zh-tw "accounting \"$printer\" 1028" "wang;li" "tea4two"
prompt prompt-accounting-zh-cn "accounting \"$printer\" 2052" "zhang_san" "pass-word"

echo
echo "mfpsm.exe PREHEAT \"$printer\" (port USB001, online, empty queue)"
run "$bin/mfpsm.exe" PREHEAT "$printer" && code=0 || code=$?
awk -F'\t' -v p="$printer" '$1 == "job" && $2 == p { print "  queued job " $3 ": \"" $4 "\"" }' "$spool/state.txt"
for job in "$spool"/job-*.bin; do
  [ -f "$job" ] && echo "  $(basename "$job"): $(stat -c %s "$job") bytes, starts with: $(head -c 24 "$job" | od -An -c | tr -s ' \n' ' ')"
done
echo "  exit code $code"
