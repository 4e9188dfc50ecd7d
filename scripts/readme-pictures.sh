#!/usr/bin/env bash
# Draws the README's pictures from the build: the editor as it stands after the demo
# (tesk-render --demo and its snapshot) and spectrograms of the demo signal before and
# after Tesk (sox). Run it again when the sound or the editor changes, and commit the
# pictures it rewrites.
#
# Usage: scripts/readme-pictures.sh [build-folder] [picture-folder]
#        (defaults: build, docs/pictures)
#
# Builds tesk-render when the build folder has none (quick when it is up to date). The
# demo is seeded and sox draws without dither, so one tree gives the same pictures on
# every run.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}" CCACHE_NOHASHDIR=1
BUILD_DIR=${1:-build}
PICTURES=${2:-docs/pictures}

scripts/bootstrap.sh
if [[ ! -f "$BUILD_DIR/build.ninja" ]]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
fi
cmake --build "$BUILD_DIR" --target tesk-render -j "$(nproc)" >/dev/null
RENDER="$BUILD_DIR/tools/tesk-render"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$PICTURES"

# After: the demo as tesk-render plays it, with its settings. Before: the same signal
# with every effect at zero (no stage-one mix, no reduction, no sensitivity), which
# Tesk leaves all but unchanged (differences below -50 dBFS), its latency removed as in
# the demo. (Bypass would pass it
# undelayed, so the demo's latency compensation would cut its first 0.28 s.)
"$RENDER" --quiet --demo "$WORK/after.wav" --snapshot "$PICTURES/editor.png"
"$RENDER" --quiet --demo "$WORK/before.wav" --set Pre=0 --set Mode_A=0 --set Mode_B=0 --set Sensitivity=0 \
  --snapshot "$WORK/unused.png"

# Both channels summed into one picture per file, 0..22 kHz over the demo's 8 seconds,
# on one colour scale (-z) so the two pictures compare.
spectrogram() {
  sox -V1 "$WORK/$1.wav" -n remix 1v0.5,2v0.5 \
    spectrogram -x 800 -y 257 -z 100 -t "$2" -c "" -o "$PICTURES/spectrogram-$1.png"
}
spectrogram before "The demo signal"
spectrogram after "The demo signal through Tesk"

for f in editor.png spectrogram-before.png spectrogram-after.png; do echo "$PICTURES/$f"; done
