#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite (GUI tests offscreen, browser tests under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
ctest --preset default -j "${PAGEWRIGHT_JOBS:-2}" "$@"
