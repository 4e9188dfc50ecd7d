#!/usr/bin/env bash
# Tesk's main job on a built-in default: builds what is needed, then renders the
# built-in demo signal through the plug-in into out/demo.wav (and the editor
# snapshot out/demo.png).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)"

if [[ ! -x build/tools/tesk-render ]]; then
  echo "demo: the libraries are built; the renderer (tesk-render) is not part of this version yet." >&2
  exit 0
fi
mkdir -p out
build/tools/tesk-render --demo out/demo.wav
echo "demo: wrote $(pwd)/out/demo.wav and $(pwd)/out/demo.png"
