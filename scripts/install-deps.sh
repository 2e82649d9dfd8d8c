#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Orvantis need.
# Only what is missing is installed, so a second run is quick.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libmspack-dev libgcab-dev libglib2.0-dev cabextract gcab
  libimagequant-dev libgraphicsmagick++1-dev
  fonts-wine fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  shared-mime-info desktop-file-utils xdg-utils libglib2.0-bin
  man-db groff-base
  appstream
)
# Extra packages a target asks for (make fuzz adds clang and its libFuzzer runtime).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -q -o DPkg::Lock::Timeout=600
  $sudo_cmd apt-get install -y -q -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}"
fi
