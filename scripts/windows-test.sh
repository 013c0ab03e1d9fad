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
# Wine leaves the folder of its server's socket in TMPDIR: keep it in ours.
export TMPDIR="$build/wine-tmp"
mkdir -p "$TMPDIR"
"$root/scripts/wine-prefix.sh"
source "$root/scripts/xvfb.sh"
cleanup() {
  WINEPREFIX="$build/wine-prefix" wineserver -k 2>/dev/null || true
  stop_xvfb
}
trap cleanup EXIT
start_xvfb
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
