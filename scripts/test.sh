#!/usr/bin/env bash
# Installs what is missing, configures, builds everything and runs the whole test suite.
# Usage: scripts/test.sh [build-folder] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache: paths relative to the checkout, so any clone of the tree reuses the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}" CCACHE_NOHASHDIR=1

BUILD_DIR=${1:-build}
shift || true

scripts/bootstrap.sh
cmake -S . -B "$BUILD_DIR" -G Ninja "$@"
cmake --build "$BUILD_DIR" -j "$(nproc)"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
