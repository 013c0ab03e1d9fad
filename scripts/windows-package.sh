#!/usr/bin/env bash
# Builds the Windows programs (scripts/windows-build.sh) and writes into
# ${PACKAGE_DIR:-dist}/:
#   gsm-notifier-config_<version>_win64-setup.exe   the installer (NSIS)
#   gsm-notifier-config_<version>_win64.zip         the same programs, to run
#                                                   without installing
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/windows-build.sh"
build="${WINDOWS_BUILD_DIR:-$root/build-windows}"
version="$(sed -n 's/^project(gsm-notifier-config VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
out="${PACKAGE_DIR:-$root/dist}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
name="gsm-notifier-config_${version}_win64"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
cp "$build/app/gsm-notifier-config.exe" "$build/tools/template/gsm-notifier-template.exe" \
  "$stage/$name/"
size_kb="$(du -sk "$stage/$name" | cut -f1)"
makensis -V2 -DVERSION="$version" -DPROGRAMS="$stage/$name" -DSIZE_KB="$size_kb" \
  -DICON="$root/resources/windows/gsm-notifier-config.ico" \
  -DOUTFILE="$out/${name}-setup.exe" "$root/resources/windows/installer.nsi"
rm -f "$out/$name.zip"
(cd "$stage" && TZ=UTC zip -q -X -r "$out/$name.zip" "$name")
echo "$out/${name}-setup.exe"
echo "$out/$name.zip"
