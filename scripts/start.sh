#!/usr/bin/env bash
# Starts the configurator from a build folder; with --demo a simulated device
# holding the demo settings (resources/demo/demo.sbn) is started first, COM1 is
# pointed at its pseudo-terminal, and the simulator is stopped again when the
# configurator closes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$1"; shift
app="$build/app/gsm-notifier-config"
sim="$build/tools/sim/gsm-notifier-sim"

if [ "${1:-}" != "--demo" ]; then
  exec "$app"
fi

link_dir="$(mktemp -d)"
sim_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$link_dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

"$sim" --link "$link_dir/com1" --memory "$root/resources/demo/demo.sbn" >/dev/null &
sim_pid=$!
for _ in $(seq 50); do
  [ -e "$link_dir/com1" ] && break
  sleep 0.1
done
[ -e "$link_dir/com1" ] || { echo "The simulated device did not start." >&2; exit 1; }
echo "Simulated device on $(readlink "$link_dir/com1"), reachable as COM1."
echo "Press \"Nawiąż połączenie\" to connect, then \"Odczyt ustawień z ukladu\"."

# The configurator runs in the background so that a signal to this script
# still stops both programs.
GSM_NOTIFIER_COM1="$link_dir/com1" "$app" &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=""
exit "$status"
