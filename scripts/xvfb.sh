# Sourced by the scripts: starts a private Xvfb unless one was asked to be kept, exports
# DISPLAY and stops the server when the calling script exits.
start_private_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  QS_XVFB_PID=$!
  local display
  read -r -t 20 display <"$fifo" || { echo "Xvfb did not start" >&2; rm -f "$fifo"; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$display"
  trap 'kill $QS_XVFB_PID 2>/dev/null || true' EXIT
}
