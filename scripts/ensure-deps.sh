#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

packages=(
  cmake g++ make ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6 qt6-translations-l10n
  libjpeg-dev
  xvfb xauth x11-utils fonts-dejavu-core fonts-liberation
  dpkg-dev file
  # pdftotext, pdfinfo, pdffonts: the settings report read back in the tests
  poppler-utils
  # clang and its libFuzzer runtime (libclang_rt.fuzzer), for scripts/fuzz.sh
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
