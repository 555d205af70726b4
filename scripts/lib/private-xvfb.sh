# private-xvfb.sh: sourced by the scripts that run the program without a screen. Starts a virtual
# X server of our own through private-xvfb and stops it, with the program, on exit; never uses
# the caller's DISPLAY.
#
# After start_private_xvfb: $display is the server's name (":N"). Set $program_pid to the
# program's process and it is stopped first. Scripts with more to clean up define
# extra_cleanup, which runs last.

xvfb_pid=
program_pid=
# Resolved now: the sourcing script may change directory before it starts the server.
private_xvfb_starter=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/private-xvfb

# Every step tolerates failure: under errexit a failing step (wait reports the SIGTERM status)
# would end the trap early and leave the server running.
stop_private_xvfb() {
  local pid
  for pid in $program_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  if declare -F extra_cleanup >/dev/null; then
    extra_cleanup || true
  fi
}

# start_private_xvfb [SCREEN [OPTION...]]: the arguments of private-xvfb.
start_private_xvfb() {
  local display_pipe display_number
  trap stop_private_xvfb EXIT
  # The starter writes the display's number into this pipe (open for reading and writing).
  exec {display_pipe}<> <(:)
  "$private_xvfb_starter" "$@" >&"$display_pipe" 2>/dev/null &
  xvfb_pid=$!
  if ! read -r -t 10 display_number <&"$display_pipe"; then
    echo "error: Xvfb did not start" >&2
    exit 1
  fi
  exec {display_pipe}<&-
  display=":$display_number"
}
