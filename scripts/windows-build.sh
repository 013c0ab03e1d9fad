#!/usr/bin/env bash
# Cross-builds the Windows programs and their tests into
# ${WINDOWS_BUILD_DIR:-build-windows} (release, static). Builds the toolchain
# first when the cache lacks it (scripts/windows-toolchain.sh). Arguments are
# added to the configure step (-DNAME=VALUE).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
prefix="$("$root/scripts/windows-toolchain.sh")"
build="${WINDOWS_BUILD_DIR:-$root/build-windows}"
cmake -G Ninja -S "$root" -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
