#!/usr/bin/env bash
# Installs the Debian 12 packages ZarnikControl needs to build and test.
# Only missing packages are installed, so running it again is quick.
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config python3
  qt6-base-dev qt6-base-dev-tools
  libqt6serialport6-dev
  qt6-multimedia-dev
  libliquid-dev
  qt6-qpa-plugins
  libhamlib-utils
  minimodem
  pulseaudio libpulse-dev
  dpkg-dev file librsvg2-bin desktop-file-utils appstream man-db groff-base
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
