#!/usr/bin/env bash
# Configures and builds the project into ${BUILD_DIR:-build}.
# GNC_CMAKE_OPTIONS adds configure options (./test --sanitize uses it).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
# shellcheck disable=SC2086 # the options are meant to split into words
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Debug}" ${GNC_CMAKE_OPTIONS:-} >/dev/null
cmake --build "$build" -j "$(nproc)"
