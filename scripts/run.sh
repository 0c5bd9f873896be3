#!/usr/bin/env bash
# Builds ondrel in Release and starts it on the simulated devices.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target ondrel tickwell
exec build/release/bin/ondrel "$@"
