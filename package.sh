#!/usr/bin/env bash
# Builds the Debian package of the editor and zelkstr into build-package/:
# ./package.sh, then: sudo apt install ./build-package/vantrel_*.deb
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh

ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
build_project build-package -DCMAKE_BUILD_TYPE=Release -DZELK_BUILD_TESTS=OFF >/dev/null
(cd build-package && cpack -G DEB)
ls -1 build-package/*.deb
