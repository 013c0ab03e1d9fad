#!/usr/bin/env bash
# Starts the configurator from a build folder; with --demo a simulated device
# is started first and COM1 is pointed at its pseudo-terminal.
set -euo pipefail
build="$1"; shift
app="$build/app/gsm-notifier-config"
sim="$build/tools/gsm-notifier-sim"

if [ "${1:-}" != "--demo" ]; then
  exec "$app"
fi

link_dir="$(mktemp -d)"
"$sim" --link "$link_dir/com1" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; rm -rf "$link_dir"' EXIT
for _ in $(seq 50); do
  [ -e "$link_dir/com1" ] && break
  sleep 0.1
done
[ -e "$link_dir/com1" ] || { echo "The simulated device did not start." >&2; exit 1; }
echo "Simulated device on $(readlink "$link_dir/com1"), reachable as COM1."
echo "Press \"Nawiąż połączenie\" to connect."
GSM_NOTIFIER_COM1="$link_dir/com1" "$app"
