#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor: ./run.sh [FILE]
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh

ensure_packages "${BUILD_PACKAGES[@]}"
build_project build >/dev/null
cd - >/dev/null
exec "$(dirname "$0")/build/src/app/Vantrel" "$@"
