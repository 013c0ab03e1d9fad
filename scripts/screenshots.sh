#!/usr/bin/env bash
# Renders the README's pictures (docs/screenshots/*.png) from the real windows
# on Qt's offscreen platform, with the demo device's settings loaded, and the
# page of the demo template's settings report (pdftoppm, poppler-utils).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/ensure-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Debug}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target gnc-screenshots gsm-notifier-template
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/gnc-screenshots" \
  "$root/resources/demo/demo.sbn" "$root/docs/screenshots"
report="$(mktemp -d)"
trap 'rm -rf "$report"' EXIT
"$build/tools/template/gsm-notifier-template" report "$root/resources/demo/demo.sbn" \
  "$report/demo.pdf"
pdftoppm -png -r 80 -singlefile "$report/demo.pdf" "$root/docs/screenshots/settings-report"
