#!/usr/bin/env bash
# Renders the README's pictures of the Windows program
# (docs/screenshots/windows/*.png): the real windows of the Windows build,
# under Wine on a display of its own, with the demo device's settings loaded.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${WINDOWS_BUILD_DIR:-$root/build-windows}"
"$root/scripts/windows-build.sh"
out="$root/docs/screenshots/windows"
mkdir -p "$out"
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix"
display=""
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
    display=":$n"
    break
  fi
done
[ -n "$display" ] || { echo "No free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY="$display"
"$root/scripts/wine-prefix.sh"
"$root/scripts/wine-run.sh" "$build/tools/screenshots/gnc-screenshots.exe" \
  "Z:${root//\//\\}\\resources\\demo\\demo.sbn" "Z:${out//\//\\}"
