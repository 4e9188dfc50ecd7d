#!/usr/bin/env bash
# Builds the test executables that run threads with ThreadSanitizer and runs their
# threaded tests:
#   tesk_tests           the render path against a busy editor and host (TeskRealtime), and
#                        the fast render path while another thread holds the plug-in mutex
#   tesk_engine_tests    the display feed read beside its writer
#   tesk_controls_tests  the display feed written on an audio thread, drained by the editor
#                        thread's timer and cleared from a parameter thread
#   linux_window_tests   the X11 editor window's own thread, embedded, closed and reopened
#   validator_tests      parameters automated from another thread while rendering, through
#                        the audio component's render method (the bundle as a current host
#                        opens it) and the Component Manager entry's fast-dispatch render
#   threading_tests      host, audio and editor threads sharing one plug-in through the Audio
#                        Unit setter and render while an X11 window runs its own editor thread;
#                        the hand-off of values to the editor's timer
#   iplug_tests, wdl_tests  the instance mutex across threads
# Usage: scripts/ci-tsan.sh [build-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}" CCACHE_NOHASHDIR=1
BUILD_DIR=${1:-build-tsan}

scripts/bootstrap.sh
cmake -S . -B "$BUILD_DIR" -G Ninja -DTESK_SANITIZE=thread
cmake --build "$BUILD_DIR" -j "$(nproc)" --target tesk_tests tesk_engine_tests tesk_controls_tests linux_window_tests validator_tests \
  threading_tests iplug_tests wdl_tests

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
run() {
  local exe=$1 filter=$2
  echo "tsan: $exe --gtest_filter=$filter" >&2
  "$BUILD_DIR/$exe" --gtest_filter="$filter" --gtest_brief=1
}
run tests/tesk/tesk_tests 'TeskRealtime.*:TeskAudioUnit.TheFastRenderPathNeverWaitsForThePluginMutex'
run tests/tesk/tesk_engine_tests 'DisplayFeed.AReaderBesideTheWriter*'
run tests/tesk_controls/tesk_controls_tests 'HandOff.*'
run tests/linux_window/linux_window_tests \
  'XvfbTest.EmbeddedInAHostWindowAndDrivenByIdleCalls:XvfbTest.ClosedByTheUserAndReopened:XvfbTest.PluginDestroyedWithTheWindowOpen'
run tests/validator/validator_tests '*ConcurrencyChecks*'
run tests/threading/threading_tests '*'
run tests/iplug/iplug_tests 'Mutex.*'
run tests/wdl/wdl_tests 'Mutex.*'
