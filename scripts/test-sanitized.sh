#!/usr/bin/env bash
# Builds ZarnikControl with AddressSanitizer and UBSan into build-sanitize/ and runs the test
# suite there (the sound loop excepted: it runs in real time and says nothing more here), then
# replays every fuzz target's corpus. A memory or arithmetic fault fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZC_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j"$(nproc)"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
# Qt and the system libraries are not built with the sanitizers; leaks inside them are theirs.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-sanitize
ctest --output-on-failure -j"$(nproc)" -E soundcard_loopback "$@"
