#!/usr/bin/env bash
# Installs what is missing, configures, builds everything and runs the whole test suite.
# Usage: scripts/test.sh [build-folder] [extra cmake arguments...]
# TESK_CTEST_ARGS adds arguments to ctest, e.g. TESK_CTEST_ARGS="-LE slow" leaves out the
# tests labelled slow.
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache: paths relative to the checkout, so any clone of the tree reuses the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}" CCACHE_NOHASHDIR=1

BUILD_DIR=${1:-build}
shift || true

scripts/bootstrap.sh
cmake -S . -B "$BUILD_DIR" -G Ninja "$@"
cmake --build "$BUILD_DIR" -j "$(nproc)"
# shellcheck disable=SC2086 # the extra arguments are meant to split
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" ${TESK_CTEST_ARGS:-}
