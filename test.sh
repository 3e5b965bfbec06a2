#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test:
#  1. the fuzz targets (the loader, the CSV and PO catalogue imports) for 40
#     seconds each (clang, libFuzzer);
#  2. the whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer
#     (but the real window on Xvfb and the Debian package, which run in 3.);
#  3. the whole suite in the normal build, the real window on Xvfb included,
#     ending with CTest's summary.
# Any failure, or any sanitizer report, makes it exit non-zero.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh

ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
jobs=$(nproc)

echo "== Fuzzing (${FUZZ_SECONDS:-40} s per target)"
fuzz_log=$(mktemp)
if ! ./fuzz.sh "${FUZZ_SECONDS:-40}" >"$fuzz_log" 2>&1; then
    cat "$fuzz_log"
    rm -f "$fuzz_log"
    exit 1
fi
grep -E '^(== fuzz_|Done)' "$fuzz_log" || true
rm -f "$fuzz_log"

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
build_project build-asan -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS=-O1 $sanitizers" \
    "-DCMAKE_EXE_LINKER_FLAGS=$sanitizers" >/dev/null
LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ctest --test-dir build-asan --output-on-failure --parallel "$jobs" --label-exclude "e2e|package"

echo "== Tests"
build_project build
ctest --test-dir build --output-on-failure --parallel "$jobs"
