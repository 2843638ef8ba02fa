# Sourced by every story of tools/demo.d. A step that fails says so: the
# command, its exit code and where it stands in the story; tools/demo.sh then
# shows the last lines of the story's output. Commands whose output a story
# does not show run under `quiet`, which shows it when they fail.
set -eEuo pipefail

demo_failed() {
  # Only the story's own shell speaks: a background job's status is the
  # business of whoever waits for it, and a failed $(...) or ( ... ) fails
  # the command around it, which is named then.
  [ "$BASHPID" = "$$" ] || return 0
  [ "${FUNCNAME[1]:-}" != quiet ] || return 0  # quiet has said it all
  local where="line $3 of $(basename "$0")"
  # In a function (run, drvsim, ...): with the arguments it was given and
  # the line that called it.
  [ "${FUNCNAME[1]:-main}" = main ] || where="$where, in ${FUNCNAME[1]} $4, called at line ${BASH_LINENO[1]}"
  echo "demo: step failed with exit code $1 ($where): $2" >&2
}
trap 'demo_failed $? "$BASH_COMMAND" "$LINENO" "$*"' ERR

# Runs a command with its output kept aside; when it fails, shows the
# command, its exit code and the last lines of its output.
quiet() {
  local out code=0
  out=$(mktemp)
  "$@" >"$out" 2>&1 || code=$?
  if [ "$code" -ne 0 ]; then
    echo "demo: '$*' ended with exit code $code; the last lines of its output:" >&2
    tail -n 15 "$out" | sed 's/^/  | /' >&2
  fi
  rm -f "$out"
  (exit "$code")  # fails here, in quiet, whose trap keeps silent
}

# Starts Xvfb with a screen of WxH pixels on the first display number from
# MFPSM_DEMO_DISPLAY (default 50) that is free and really comes up, so that
# demos run side by side never photograph each other's screen. Sets DISPLAY
# and xvfb (its process id).
start_xvfb() {
  local n=${MFPSM_DEMO_DISPLAY:-50} tries
  for tries in 1 2 3 4 5 6 7 8; do
    while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${1}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    sleep 1
    if kill -0 "$xvfb" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
    n=$((n + 1))
  done
  echo "demo: no virtual screen could be started (display :${MFPSM_DEMO_DISPLAY:-50} on, $tries tries)" >&2
  return 1
}

# The stage of a story whose prompts run on the spooler stand-in: a spooler
# folder seeded with the given state lines (spool), and, with Xvfb, a real
# (virtual) screen in a prefix of its own so the prompts can be photographed
# (shots=1); without it they run headless. Both are taken down on exit.
prompt_stage() {
  spool=$(mktemp -d /tmp/mfpsm-demo-spool.XXXXXX)
  trap stop_prompt_stage EXIT
  printf '%s\n' "$1" > "$spool/state.txt"
  export MFPSM_SPOOL_DIR="Z:${spool//\//\\}"
  export WINEDLLOVERRIDES="winspool.drv=n"
  shots=0
  command -v Xvfb >/dev/null && command -v import >/dev/null || return 0
  start_xvfb 800x600
  export MFPSM_WINE_GRAPHICS=x11 WINEPREFIX="$MFPSM_ROOT/build/wineprefix-x11"
  shots=1
  # Captions are drawn in Tahoma; link it to the CJK font like Courier New.
  run reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v Tahoma /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1 || true
}

stop_prompt_stage() {
  rm -rf "$spool"
  if [ -n "${xvfb:-}" ]; then
    run --session-end  # the screen prefix's programs, all started here
    kill "$xvfb" 2>/dev/null || true
  fi
}

run() { "$MFPSM_ROOT/tools/wine-run" "$@"; }
