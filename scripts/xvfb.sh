# Sourced by the scripts that show programs on an X server of their own:
# start_xvfb [WIDTHxHEIGHT] starts one (1280x1024 unless told, 96 pixels per
# inch) on a display number no one uses (Xvfb chooses it) and exports
# DISPLAY; stop_xvfb ends it.
start_xvfb() {
  local number_file
  number_file="$(mktemp)"
  Xvfb -displayfd 1 -screen 0 "${1:-1280x1024}x24" -dpi 96 -nolisten tcp -noreset \
    >"$number_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$number_file" ] && break
    sleep 0.1
  done
  local number
  number="$(tr -dc '0-9' <"$number_file")"
  rm -f "$number_file"
  [ -n "$number" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$number"
}

stop_xvfb() {
  [ -n "${xvfb_pid:-}" ] || return 0
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}
