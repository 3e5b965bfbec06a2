#!/usr/bin/env bash
# Builds the Windows programs on Debian 12 and packs them into
# build-windows/vantrel-VERSION-windows-x64.zip: ./package-windows.sh
#
# Installs what is missing (MinGW-w64, Ninja, Qt's host tools), fetches the
# sources of Qt 6.4.2 (qtbase), gettext and Hunspell 1.7.1 from Debian's source
# archive, and Debian's packages of the dictionaries the zip carries, through
# an apt configuration of its own, cross-builds them once into
# ~/.cache/vantrel-windows/ (keyed by version and options), then builds
# Vantrel.exe and zelkstr.exe against them. The first run takes about as long
# as building Qt; later runs only build the project.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
. scripts/windows/cross.sh

ensure_packages "${WINDOWS_BUILD_PACKAGES[@]}"
fetch_windows_sources
fetch_windows_spelling
build_windows_qt
build_windows_gettextpo
build_windows_hunspell
build_windows_project
pack_windows_zip
