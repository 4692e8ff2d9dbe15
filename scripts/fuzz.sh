#!/usr/bin/env bash
# Fuzzes every parser of outside input with libFuzzer (clang, AddressSanitizer, UBSan) for
# SECONDS each (600), two at a time. New interesting inputs stay in build-fuzz/corpus/; any
# input that breaks an invariant or crashes is copied into fuzz/corpus/<target>/ so that the
# test suite replays it from then on. Prints executions and findings per target.
#
#   scripts/fuzz.sh [SECONDS] [TARGET ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
bash scripts/setup.sh
command -v clang++ >/dev/null || { echo "needs clang (apt-get install clang)"; exit 2; }
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZC_FUZZ=ON \
    -DZC_SANITIZE=ON >/dev/null
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(sed -n 's/^zc_fuzz(\([a-z_]*\).*/\1/p' fuzz/CMakeLists.txt))
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS="detect_leaks=0" UBSAN_OPTIONS="halt_on_error=1"
run() {
    # Absolute paths: a target may change the current folder (the whole program does).
    local target=$1 work=$PWD/build-fuzz/corpus/$1 out=build-fuzz/$1.log
    mkdir -p "$work" "build-fuzz/findings/$1"
    build-fuzz/fuzz/"$target" "$work" "$PWD/fuzz/corpus/$target" -max_total_time="$seconds" \
        -artifact_prefix="$PWD/build-fuzz/findings/$target/" -print_final_stats=1 > "$out" 2>&1 || true
    local runs findings
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out" | tail -1)
    findings=$(ls "build-fuzz/findings/$target" | wc -l)
    cp -n build-fuzz/findings/"$target"/* "fuzz/corpus/$target/" 2>/dev/null || true
    printf '%-24s %12s executions  %s findings\n' "$target" "${runs:-?}" "$findings"
}
export -f run
export seconds
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'run {}'
