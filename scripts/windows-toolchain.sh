#!/usr/bin/env bash
# Builds what the Windows programs are made with: a static Qt (Core, Gui,
# Widgets, Test) and a static libjpeg for x86-64 Windows, from the sources
# Debian serves, with Debian's MinGW-w64. Everything goes into a cache folder
# outside the clone; a cache that already holds the same versions is left as
# it is. Prints the prefix it built into as its last line.
#   scripts/windows-toolchain.sh            build when missing
#   scripts/windows-toolchain.sh --prefix   only print where it is (or would be)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cache="${GNC_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/gsm-notifier-config/windows}"
qt_version=6.4.2
jpeg_version=2.1.5
# Bump when the configure options below change, so that a cache built with
# other options is rebuilt.
recipe=1
prefix="$cache/qt-$qt_version-jpeg-$jpeg_version-r$recipe"
if [ "${1:-}" = "--prefix" ]; then
  echo "$prefix"
  exit 0
fi
# Progress goes to stderr; stdout carries only the prefix, for scripts.
exec 3>&1 1>&2

packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev cmake ninja-build dpkg-dev qt6-base-dev qt6-base-dev-tools
  qt6-translations-l10n wine wine64 nsis xvfb xauth zip unzip)

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo for: $*" >&2; exit 1; }
    sudo "$@"
  else
    "$@"
  fi
}

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  need_root apt-get update -qq
  need_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# apt-get source needs a deb-src entry; add one for Debian's main archive
# beside the existing sources (a plain update then fetches both kinds).
ensure_source_lists() {
  local list=/etc/apt/sources.list.d/gsm-notifier-config-src.sources
  if grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ ||
     grep -qs '^deb-src' /etc/apt/sources.list; then
    return 0
  fi
  need_root tee "$list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_root apt-get update -qq
}

fetch_source() { # package, folder glob
  local package="$1" pattern="$2"
  mkdir -p "$cache/src"
  if ! compgen -G "$cache/src/$pattern" >/dev/null; then
    (cd "$cache/src" && apt-get source -qq "$package" >/dev/null)
  fi
  compgen -G "$cache/src/$pattern" | head -n1
}

build_jpeg() {
  local src="$1" build="$cache/build-jpeg"
  cmake -G Ninja -S "$src" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF >/dev/null
  cmake --build "$build" -j "$(nproc)" >/dev/null
  cmake --install "$build" >/dev/null
}

# Static release Qt with only what the programs and their tests use; every
# feature that is off is off from the first configure, since switching one
# later rebuilds most of Gui and Widgets. tabletevent: Debian's source lacks
# the wintab header; dynamicgl: Qt 6.4's platform plugin needs it off when
# OpenGL is off.
build_qt() {
  local src="$1" build="$cache/build-qt"
  cmake -G Ninja -S "$src" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_sql_sqlite=OFF -DFEATURE_imageformat_jpeg=OFF -DFEATURE_jpeg=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_gif=OFF -DFEATURE_ico=ON -DFEATURE_accessibility=ON >"$cache/qt-configure.log" 2>&1 ||
    { tail -40 "$cache/qt-configure.log" >&2; exit 1; }
  cmake --build "$build" -j "$(nproc)" >"$cache/qt-build.log" 2>&1 ||
    { tail -40 "$cache/qt-build.log" >&2; exit 1; }
  cmake --install "$build" >/dev/null
}

if [ -f "$prefix/.complete" ]; then
  echo "$prefix" >&3
  exit 0
fi
install_packages
ensure_source_lists
mkdir -p "$cache"
SECONDS=0
jpeg_src="$(fetch_source libjpeg-turbo "libjpeg-turbo-$jpeg_version")"
qt_src="$(fetch_source qt6-base "qt6-base-$qt_version*")"
[ -d "$jpeg_src" ] && [ -d "$qt_src" ] || { echo "Could not fetch the sources through apt" >&2; exit 1; }
build_jpeg "$jpeg_src"
build_qt "$qt_src"
rm -rf "$cache/build-qt" "$cache/build-jpeg"
touch "$prefix/.complete"
echo "Windows toolchain built in ${SECONDS} s"
echo "$prefix" >&3
