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
# Wine leaves the folder of its server's socket in TMPDIR: keep it in ours.
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
source "$root/scripts/xvfb.sh"
cleanup() {
  wineserver -k 2>/dev/null || true
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb
"$root/scripts/wine-prefix.sh"
"$root/scripts/wine-run.sh" "$build/tools/screenshots/gnc-screenshots.exe" \
  "Z:${root//\//\\}\\resources\\demo\\demo.sbn" "Z:${out//\//\\}"
