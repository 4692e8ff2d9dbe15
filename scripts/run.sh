#!/usr/bin/env bash
# Builds ZarnikControl and starts it; any arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec build/src/zarnikcontrol "$@"
