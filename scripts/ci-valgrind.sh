#!/usr/bin/env bash
# valgrind memcheck of tesk-render on a short generated file: finds reads of
# uninitialised memory, which the AddressSanitizer build does not look for, and leaks
# in the uninstrumented build. Any error or definite leak fails.
# Usage: scripts/ci-valgrind.sh [build-folder]   (tesk-render must be built there)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
RENDER="$BUILD_DIR/tools/tesk-render"
[[ -x "$RENDER" ]] || cmake --build "$BUILD_DIR" --target tesk-render

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Half a second of stereo 16-bit audio at 44.1 kHz: two tones over a little noise.
python3 - "$work/in.wav" <<'PY'
import math, random, struct, sys, wave
random.seed(7)
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2); w.setsampwidth(2); w.setframerate(44100)
    frames = bytearray()
    for i in range(22050):
        for f in (440.0, 1234.5):
            v = 0.4 * math.sin(2 * math.pi * f * i / 44100) + random.uniform(-0.05, 0.05)
            frames += struct.pack("<h", int(v * 32767))
    w.writeframes(bytes(frames))
PY

valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite --quiet \
  "$RENDER" --quiet --block 512 --seed 5 --set Pre=0.5 --set Sensitivity=0.6 --set Auto=1 --set "Mode A=0.7" \
  --save-state "$work/out.state" --snapshot "$work/out.png" "$work/in.wav" "$work/out.wav"
echo "valgrind: tesk-render clean" >&2
