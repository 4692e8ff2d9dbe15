#!/usr/bin/env bash
# Builds ZarnikControl and runs the whole test suite with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
