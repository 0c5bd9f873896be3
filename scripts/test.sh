#!/usr/bin/env bash
# Builds everything in Release and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cmake --preset release >/dev/null
cmake --build --preset release
ctest --preset release
