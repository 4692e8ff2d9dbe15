#!/usr/bin/env bash
# CPU of the digital terminal skimming CW: bench/browser_cost.sh with the browser listening for
# CW on a band of 32 CW stations.
#
#   bench/skimmer_cost.sh [SECONDS] [PNG]      (60, docs/screenshots/cw-skimmer.png)
exec env BROWSE=cw "$(dirname "$0")/browser_cost.sh" "$@"
