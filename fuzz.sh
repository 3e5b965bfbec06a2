#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each: ./fuzz.sh [SECONDS] (default 60
# per target). The targets: the loader of strings files, and the readers of
# CSV and PO catalogues with the import into a table.
# A crashing input is saved in build-fuzz/artifacts/; copy it into the
# target's corpus folder under tests/fuzz/ so that tst_FuzzInputs replays it
# from then on.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh

seconds=${1:-60}
ensure_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$(nproc)"
mkdir -p build-fuzz/artifacts
# gettext's library keeps some of what it allocates until the program ends.
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
for target in load:corpus csv:corpus-csv po:corpus-po; do
    name=${target%%:*}
    corpus=${target#*:}
    mkdir -p "build-fuzz/$corpus"
    echo "== fuzz_$name"
    "./build-fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 \
        -artifact_prefix="build-fuzz/artifacts/$name-" "build-fuzz/$corpus" "tests/fuzz/$corpus"
done
