#!/usr/bin/env bash
# Configures and builds the project into ${BUILD_DIR:-build}.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Debug}" >/dev/null
cmake --build "$build" -j "$(nproc)"
