#!/usr/bin/env bash
# ./test --windows: builds the Windows toolchain when the cache lacks it, the
# Linux simulated device, the Windows programs, their tests, the installer
# and the zip, then runs the Windows tests under Wine (the core's unit tests,
# the Windows-only tests, and the programs against the simulated device) on a
# display of its own. CTest arguments are passed on.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/ensure-deps.sh"
"$root/scripts/windows-toolchain.sh" >/dev/null
linux_build="${BUILD_DIR:-$root/build}"
build="${WINDOWS_BUILD_DIR:-$root/build-windows}"
BUILD_DIR="$linux_build" "$root/scripts/build.sh"
WINDOWS_BUILD_DIR="$build" "$root/scripts/windows-build.sh" \
  -DGNC_SIM_PATH="$linux_build/tools/sim/gsm-notifier-sim" -DGNC_DIST_DIR="$build/dist"
PACKAGE_DIR="$build/dist" WINDOWS_BUILD_DIR="$build" "$root/scripts/windows-package.sh" >/dev/null

# One Wine prefix for the tests, made before they start; one X display.
export WINEPREFIX="$build/wine-prefix"
"$root/scripts/wine-prefix.sh"
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
  WINEPREFIX="$build/wine-prefix" wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done
export DISPLAY="$display"
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
