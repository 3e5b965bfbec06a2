#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor: ./run.sh [FILE]
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
(
    cd "$root"
    . scripts/setup.sh
    ensure_packages "${BUILD_PACKAGES[@]}"
    build_project build >/dev/null
)
exec "$root/build/src/app/Vantrel" "$@"
