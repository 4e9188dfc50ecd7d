#!/usr/bin/env bash
# Runs the arm64 build's tests under qemu-user: each test program whole, in one
# emulated process (an emulated start costs about a second, so the thousand cases one
# by one through CTest would take many times as long), then, when the build was
# configured with -DTESK_REFERENCE_RENDER, the byte-for-byte comparison of its renders
# with the build machine's.
#
# Usage: scripts/test-arm64.sh DIR
#
# What runs: the engine and the processor (tesk_tests, tesk_hostless_tests), the
# elementary functions (math_tests), the FFT (fft_tests), the raster layer
# (raster_tests), the plug-in and graphics frameworks (wdl_tests, iplug_tests,
# iplug_allocation_tests, graphics_tests, controls_tests, tesk_controls_tests,
# mac_tests), the Audio Unit binding through the Linux stand-ins (apple_tests,
# au_tests), tesk-render (render_tests) and the validator through both bindings
# (validator_tests, less its block-size matrix over further sample rates, which runs
# the same code paths as the 44.1 kHz one). fft_tests leaves out its two checks of
# every transform and length against direct O(n^2) sums (four fifths of its time under
# emulation): they test the algorithm, the same on every processor, while the rest
# compare this build's transforms with direct sums at sampled bins and the render
# comparison compares the engine's output bytes. Left out: the real-host tests (x86-64
# host programs cannot load an arm64 plug-in), the X11 window tests (they exercise
# the X server's round trips, not arithmetic) and fft_portable_only_tests (on arm64
# the library is portable-only already).
set -euo pipefail
cd "$(dirname "$0")/.."

if (($# != 1)); then
  echo "usage: scripts/test-arm64.sh DIR" >&2
  exit 2
fi
dir=$1
root=$PWD

PROGRAMS=(
  tests/math/math_tests
  tests/wdl/wdl_tests
  "tests/fft/fft_tests --gtest_filter=-FftTransforms.MatchDefinitionsWithMinimalWorkAreas:FftPaths.EngineTransformsMatchTheDirectTransformToRounding"
  tests/raster/raster_tests
  tests/iplug/iplug_tests
  tests/iplug/iplug_allocation_tests
  tests/graphics/graphics_tests
  tests/controls/controls_tests
  tests/tesk_controls/tesk_controls_tests
  tests/mac/mac_tests
  tests/apple/apple_tests
  tests/au/au_tests
  tests/tesk/tesk_tests
  tests/tesk_hostless/tesk_hostless_tests
  tests/render/render_tests
  "tests/validator/validator_tests --gtest_filter=-*BlockSizeMatrix*"
)

passed=0
failed=0
failures=()
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for entry in "${PROGRAMS[@]}"; do
  read -r -a words <<<"$entry"
  program=$(realpath "$dir/${words[0]}")
  start=$SECONDS
  # Each program runs in its own build folder, as CTest runs it.
  if (cd "$(dirname "$program")" && "$root/scripts/run-arm64.sh" "$program" "${words[@]:1}") >"$log" 2>&1; then
    passed=$((passed + 1))
    echo "ok   ${words[0]} ($(grep -Eo '[0-9]+ tests? from [0-9]+ test suites? ran' "$log" | tail -1); $((SECONDS - start)) s)"
  else
    failed=$((failed + 1))
    failures+=("${words[0]}")
    echo "FAIL ${words[0]} ($((SECONDS - start)) s):"
    grep -E '^\[  FAILED  \]|Failure|error' "$log" | head -40 || tail -40 "$log"
  fi
done

if ctest --test-dir "$dir" -N -L cross | grep -q 'Total Tests: [1-9]'; then
  start=$SECONDS
  if ctest --test-dir "$dir" -L cross --output-on-failure >"$log" 2>&1; then
    passed=$((passed + 1))
    echo "ok   arm64 renders equal the build machine's, byte for byte ($((SECONDS - start)) s)"
  else
    failed=$((failed + 1))
    failures+=("cross-platform renders")
    echo "FAIL arm64 renders differ from the build machine's ($((SECONDS - start)) s):"
    grep -E '^FAIL|passed, ' "$log" || tail -40 "$log"
  fi
else
  echo "note: configure with -DTESK_REFERENCE_RENDER=<native tesk-render> to compare renders" >&2
fi

((failed == 0)) || echo "failed: ${failures[*]}"
echo "$passed passed, $failed failed"
((failed == 0))
