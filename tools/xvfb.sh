# Sourced: starts a private virtual display (Xvfb) and stops it again. Xvfb takes the first
# free display number itself, so that several runs at once never share one.
start_xvfb() {
  local answer n=""
  answer=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$answer" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    n=$(head -n 1 "$answer")
    [ -n "$n" ] && break
    sleep 0.1
  done
  rm -f "$answer"
  [ -n "$n" ] || { echo "the virtual display (Xvfb) did not start" >&2; return 1; }
  export DISPLAY=":$n"
}
stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
