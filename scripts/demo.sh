#!/usr/bin/env bash
# Tesk's main job on a built-in default: installs what is missing, builds the
# renderer (only what it needs; quick when it is already built), then renders the
# built-in demo signal through the plug-in into out/demo.wav and writes the
# editor's snapshot to out/demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache: paths relative to the checkout, so any clone of the tree reuses the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}" CCACHE_NOHASHDIR=1

scripts/bootstrap.sh
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja >/dev/null
fi
cmake --build build --target tesk-render -j "$(nproc)"

mkdir -p out
build/tools/tesk-render --demo out/demo.wav
echo "demo: the processed demo signal is $(pwd)/out/demo.wav"
echo "demo: the editor as it stood at the end is $(pwd)/out/demo.png"
