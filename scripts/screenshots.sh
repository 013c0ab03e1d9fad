#!/usr/bin/env bash
# Renders the README's pictures (docs/screenshots/*.png) from the real windows
# on Qt's offscreen platform, with the demo device's settings loaded.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/ensure-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Debug}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target gnc-screenshots
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/gnc-screenshots" \
  "$root/resources/demo/demo.sbn" "$root/docs/screenshots"
