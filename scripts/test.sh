#!/usr/bin/env bash
# Sets up, builds and runs every test. Works without a display and as root.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j"${JOBS:-2}" --timeout 300
