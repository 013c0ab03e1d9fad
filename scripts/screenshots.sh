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
# Qt's offscreen screen, of the given size in device pixels, at a given
# scale: the windows fit it without shrinking.
render() { # WIDTH HEIGHT SCALE FOLDER
  local config="$work/screen-$1x$2.json"
  printf '{"screens": [{"name": "Screen", "width": %d, "height": %d}]}\n' "$1" "$2" >"$config"
  QT_QPA_PLATFORM="offscreen:configfile=$config" QT_SCALE_FACTOR="$3" \
    "$build/tools/screenshots/gnc-screenshots" "$root/resources/demo/demo.sbn" "$4"
}
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
render 1920 1080 1 "$root/docs/screenshots"
# The parameters window once more at 150 %, as on a laptop with that setting.
render 2560 1440 1.5 "$work/150"
cp "$work/150/parameters-window.png" "$root/docs/screenshots/parameters-window-150.png"
"$build/tools/template/gsm-notifier-template" report "$root/resources/demo/demo.sbn" \
  "$work/demo.pdf"
pdftoppm -png -r 80 -singlefile "$work/demo.pdf" "$root/docs/screenshots/settings-report"
