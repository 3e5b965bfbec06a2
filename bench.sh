#!/usr/bin/env bash
# Builds the benchmark in Release and runs it: ./bench.sh [zelk_bench options]
# (--entries N, --rounds R, --seed S). The medians go to
# build-bench/bench-results.json.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh

ensure_packages "${BUILD_PACKAGES[@]}" gettext hunspell-en-us hunspell-fr
build_project build-bench -DCMAKE_BUILD_TYPE=Release -DZELK_BUILD_TESTS=OFF -DZELK_BUILD_BENCH=ON >/dev/null
QT_QPA_PLATFORM=offscreen ./build-bench/bench/zelk_bench --out build-bench/bench-results.json "$@"
