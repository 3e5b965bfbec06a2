#!/usr/bin/env bash
# Tests the Windows build here, under Wine: ./test-windows.sh
#  1. the model, translation and command-line test programs, built for
#     Windows, run under Wine;
#  2. every zelkstr command run as zelkstr.exe gives the same output bytes,
#     files and exit status as the Linux zelkstr on the same inputs;
#  3. zelkstr.exe checks spelling as the Linux zelkstr does, with the zip's
#     dictionaries, from a folder with letters outside ASCII in its name;
#  4. Vantrel.exe starts on an X server (Xvfb) with a file, shows its window
#     with the file's rows (a screenshot goes to build-windows/), and quits
#     when its window is closed.
# Runs ./package-windows.sh first when the build is missing. Not part of
# ./test.sh: building Qt for Windows takes far too long for CI.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
. scripts/windows/cross.sh

ensure_packages "${WINDOWS_BUILD_PACKAGES[@]}" wine wine64 fonts-wine xvfb xauth xdotool gettext hunspell-en-us hunspell-fr
[ -f "$WINDOWS_BUILD/vantrel-$(windows_version)-windows-x64.zip" ] || ./package-windows.sh
build_windows_project ON >/dev/null
cmake -S . -B "$WINDOWS_BUILD/host" -DZELK_BUILD_TESTS=ON >/dev/null
cmake --build "$WINDOWS_BUILD/host" --target zelkstr e2e_grab --parallel "$(nproc)" >/dev/null

export WINEPREFIX=$WINDOWS_BUILD/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$WINEPREFIX" ]; then
    # A Windows system has fonts of its own; a new Wine prefix only finds
    # those of Linux, and Qt's font dialog stumbles over its empty stand-ins.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    wineboot --init >/dev/null 2>&1
    wineserver --wait
fi
cross=$WINDOWS_BUILD/cross
failures=0
passes=0
check() {
    local name=$1
    shift
    if "$@"; then
        echo "PASS   : $name"
        passes=$((passes + 1))
    else
        echo "FAIL!  : $name"
        failures=$((failures + 1))
    fi
}

echo "== Test programs under Wine"
for program in tests/model/tst_uZelkStrings tests/translation/tst_Translation tests/translation/tst_Memory tests/cli/tst_zelkstr src/cli/zelkstr; do
    copy_windows_dlls "$(dirname "$cross/$program.exe")"
done
for program in tests/model/tst_uZelkStrings tests/translation/tst_Translation tests/translation/tst_Memory tests/cli/tst_zelkstr; do
    check "$(basename "$program").exe" wine "$cross/$program.exe" -silent
done

echo "== zelkstr.exe against the Linux zelkstr"
check "same outputs, files and exit status" \
    scripts/windows/same-as-linux.sh "$WINDOWS_BUILD/host/src/cli/zelkstr" "$WINDOWS_BUILD/stage/vantrel-$(windows_version)-windows-x64/zelkstr.exe"

echo "== Spelling with the zip's dictionaries, from a folder named in other letters"
check "zelkstr.exe check --spell as on Linux" \
    scripts/windows/spelling-as-linux.sh "$WINDOWS_BUILD/host/src/cli/zelkstr" "$WINDOWS_BUILD/stage/vantrel-$(windows_version)-windows-x64"

echo "== Vantrel.exe on an X server"
# The programs above ran without a display; a new Wine session gets the X
# server's.
wineserver --kill 2>/dev/null || true
check "the window shows the file and closes" \
    xvfb-run -a -s "-screen 0 1024x768x24" scripts/windows/window-under-wine.sh \
    "$WINDOWS_BUILD/stage/vantrel-$(windows_version)-windows-x64/Vantrel.exe" "$WINDOWS_BUILD/host/tests/e2e/e2e_grab" \
    "$WINDOWS_BUILD/vantrel-under-wine.png"

echo "Windows: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
