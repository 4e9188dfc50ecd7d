#!/usr/bin/env bash
# Installs what is missing, configures, builds everything and runs the whole test suite.
# Usage: scripts/test.sh [build-folder] [extra cmake arguments...]
# TESK_CTEST_EXCLUDE names labels to leave out (a ctest label expression), e.g.
# TESK_CTEST_EXCLUDE=slow leaves out the tests labelled slow; TESK_CTEST_ARGS adds other
# arguments to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache: paths relative to the checkout, so any clone of the tree reuses the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}" CCACHE_NOHASHDIR=1

BUILD_DIR=${1:-build}
shift || true

scripts/bootstrap.sh
cmake -S . -B "$BUILD_DIR" -G Ninja "$@"
cmake --build "$BUILD_DIR" -j "$(nproc)"
EXCLUDE=${TESK_CTEST_EXCLUDE:-}
# shellcheck disable=SC2086 # the extra arguments are meant to split
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" -LE "host|package${EXCLUDE:+|$EXCLUDE}" ${TESK_CTEST_ARGS:-}
# The tests that drive real host programs (lv2apply, jalv with a JACK server, Ardour) get a
# second try: those programs time their own start-up on a shared machine. A fault of ours
# fails both tries; a first try that failed is still printed.
# shellcheck disable=SC2086
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)" -L host ${EXCLUDE:+-LE "$EXCLUDE"} \
  --repeat until-pass:2 ${TESK_CTEST_ARGS:-}
# The Debian packages last, alone: their tests build them twice for this machine and
# once for arm64, with every core (TESK_CTEST_EXCLUDE=package leaves them out; CI does).
# shellcheck disable=SC2086
ctest --test-dir "$BUILD_DIR" --output-on-failure -L package ${EXCLUDE:+-LE "$EXCLUDE"} ${TESK_CTEST_ARGS:-}
