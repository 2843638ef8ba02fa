# As a standard user: the spooler stand-in gives the caller only the rights
# a standard user has under the default printer security. On "Office MFP"
# the user may print and manage their own jobs; on "Managed MFP" the
# driver's installer also granted limited management. The prompts store
# their answers where that right was granted, and elsewhere say why they
# cannot, ending with exit code 2; the wake-up job works everywhere.
source "$MFPSM_ROOT/tools/demo-lib.sh"
bin="$MFPSM_BIN"
# printer NAME PORT ATTRIBUTES STATUS REFUSE-OPEN RIGHTS (0 admin, 1 user, 2 user with limited management)
prompt_stage "$(printf 'nextjob\t100\nprinter\tOffice MFP\tUSB001\t0\t0\t0\t1\nprinter\tManaged MFP\tUSB002\t0\t0\t0\t2\n')"

# The spooler calls since the given record line: the access each open asked
# for, and what became of the printer data.
show_calls() {
  tail -n +"$1" "$spool/record.txt" 2>/dev/null | awk -F'\t' '
  $1 == "OpenPrinter" { printf "  OpenPrinter access 0x%08x: %s\n", $10, ($3 == "1" ? "opened" : "refused, error " $11) }
  $1 == "SetPrinterData" || $1 == "DeletePrinterData" { printf "  %s %s: %s\n", $1, $8, ($3 == "1" ? "done" : "refused, error " $11) }
  $1 == "StartDocPrinter" { printf "  StartDocPrinter \"%s\", data type %s\n", $8, $12 }'
  awk -F'\t' '$1 == "printer" { n[$2] += 0 } $1 == "data" { n[$2]++ }
    END { for (p in n) printf "  printer data values kept on %s: %d\n", p, n[p] }' "$spool/state.txt" | sort
}

prompt() {
  local shot=$1 command=$2; shift 2
  local from=1
  [ -f "$spool/record.txt" ] && from=$(( $(wc -l < "$spool/record.txt") + 1 ))
  echo
  echo "mfpsm.exe $command"
  # The & inside the eval: backgrounding the eval itself would lose the
  # exit code (errexit in the background subshell reports 1).
  eval "run \"\$bin/mfpsm.exe\" $command &"
  local pid=$!
  run "$bin/drvsim.exe" prompt-fill "$@" >/dev/null || { kill "$pid"; return 1; }
  run "$bin/drvsim.exe" prompt-ok
  if [ -n "$shot" ]; then
    if [ "$shots" = 1 ]; then
      sleep 0.5
      import -window root "$MFPSM_OUT/$shot.png" && echo "  screenshot: out/$shot.png"
    fi
    run "$bin/drvsim.exe" prompt-message
  fi
  local code=0
  wait "$pid" || code=$?
  echo "  exit code $code"
  show_calls "$from"
}

prompt "" "security 2 \"Managed MFP\" 0" "Payroll#7" "s3cret"
prompt user-prompt-refused-en "security 2 \"Office MFP\" 0" "Payroll#7" "s3cret"
prompt user-prompt-refused-zh-tw "accounting \"Office MFP\" 1028" "wang;li" "tea4two"
prompt user-prompt-refused-zh-cn "security 1 \"Office MFP\" 2052" "Contract_2"

from=$(( $(wc -l < "$spool/record.txt") + 1 ))
echo
echo "mfpsm.exe PREHEAT \"Office MFP\""
run "$bin/mfpsm.exe" PREHEAT "Office MFP" && code=0 || code=$?
echo "  exit code $code"
show_calls "$from"
