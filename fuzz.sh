#!/usr/bin/env bash
# Builds the loader's fuzz target with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it: ./fuzz.sh [SECONDS] (default 60).
# A crashing input is saved in build-fuzz/artifacts/; copy it into
# tests/fuzz/corpus/ so that tst_FuzzInputs replays it from then on.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh

seconds=${1:-60}
ensure_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$(nproc)"
mkdir -p build-fuzz/corpus build-fuzz/artifacts
./build-fuzz/fuzz_load -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 \
    -artifact_prefix=build-fuzz/artifacts/ build-fuzz/corpus tests/fuzz/corpus
