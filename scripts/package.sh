#!/usr/bin/env bash
# Builds the Debian package from the normal build: build/zarnikcontrol_<version>_amd64.deb.
# Install it with: sudo apt install ./build/zarnikcontrol_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
cpack -G DEB
ls -1 "$PWD"/zarnikcontrol_*.deb
