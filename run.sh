#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor: ./run.sh [FILE]
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
(
    cd "$root"
    . scripts/setup.sh
    ensure_packages "${BUILD_PACKAGES[@]}"
    # The build's progress shows: the first build takes a few minutes.
    echo "== Building the editor in build/"
    build_project build
)
exec "$root/build/src/app/Vantrel" "$@"
