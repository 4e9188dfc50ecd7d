#!/usr/bin/env python3
"""Renders the same inputs and settings with two tesk-render programs and compares the
output files byte for byte: a reference built for this machine and a candidate built
for another processor (run through an emulator), which must render the same bytes.

Usage: cross_platform_renders.py --reference PROGRAM -- CANDIDATE-COMMAND...
e.g.   cross_platform_renders.py --reference build/tools/tesk-render -- \\
           scripts/run-arm64.sh build-arm64/tools/tesk-render

The inputs are written here, once, and read by both programs: stereo and mono files,
float and 16-bit, with silence, tiny and subnormal values, clipping and noise of
changing level; the settings cover the default, busy ones with "Sensitivity", "Auto"
and a seed, an inverted band, bypass and latency compensation, at block sizes 1, 37,
512 and 4096; then the demo (audio and editor snapshot) and an editor snapshot after
a busy render. Prints one line per case and 'N passed, N failed'.
"""

import argparse
import math
import os
import struct
import subprocess
import sys
import tempfile

RATE = 44100


def lcg(seed):
    """Uniform values in [-1, 1) from a 64-bit congruential generator (same everywhere)."""
    state = seed
    while True:
        state = (state * 6364136223846793005 + 1442695040888963407) % (1 << 64)
        yield (state >> 33) / 2.0**31 * 2.0 - 1.0


def write_wav(path, channels, bits):
    frames = len(channels[0])
    count = len(channels)
    if bits == 32:
        tag, width = 3, 4
        samples = [c[i] for i in range(frames) for c in channels]
        data = struct.pack("<%df" % len(samples), *samples)
    else:
        tag, width = 1, 2
        samples = [max(-32768, min(32767, round(c[i] * 32767))) for i in range(frames) for c in channels]
        data = struct.pack("<%dh" % len(samples), *samples)
    fmt = struct.pack("<HHIIHH", tag, count, RATE, RATE * count * width, count * width, width * 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def make_inputs(folder):
    seconds = 2
    n = RATE * seconds
    inputs = {}

    noise = lcg(1)
    left, right = [], []
    for i in range(n):
        t = i / RATE
        chord = sum(g * math.sin(2 * math.pi * f * t) for f, g in ((220.0, 0.2), (277.2, 0.15), (329.6, 0.1)))
        hiss = next(noise) * 0.05
        hit = 0.8 * math.exp(-(i % 11025) / 300.0) * next(noise) if (i // 11025) % 2 == 0 else 0.0
        left.append(chord + hiss + hit)
        right.append(0.8 * chord - hiss + 0.5 * hit)
    inputs["chord"] = os.path.join(folder, "chord_stereo_float.wav")
    write_wav(inputs["chord"], [left, right], 32)

    noise = lcg(2)
    phase, mono = 0.0, []
    for i in range(n):
        phase += 2 * math.pi * 50.0 * (1 + 400.0 * i / n) / RATE
        mono.append(0.5 * math.sin(phase) + 0.1 * next(noise))
    inputs["sweep"] = os.path.join(folder, "sweep_mono_pcm16.wav")
    write_wav(inputs["sweep"], [mono], 16)

    # A quarter each: silence, tiny and subnormal values, a clipped square, full-scale noise.
    noise = lcg(3)
    left, right = [], []
    for i in range(n):
        part = 4 * i // n
        if part == 0:
            l = r = 0.0
        elif part == 1:
            l, r = 1e-30 * next(noise), 3e-39 * next(noise)
        elif part == 2:
            l, r = (1.0 if (i // 100) % 2 else -1.0), 0.3
        else:
            l, r = next(noise), next(noise)
        left.append(l)
        right.append(r)
    inputs["edges"] = os.path.join(folder, "edges_stereo_float.wav")
    write_wav(inputs["edges"], [left, right], 32)

    noise = lcg(4)
    left, right = [], []
    for i in range(n):
        level = 0.05 + 0.45 * (0.5 + 0.5 * math.sin(2 * math.pi * 0.5 * i / RATE))
        left.append(level * next(noise))
        right.append(level * (0.5 * next(noise) + 0.5 * math.sin(2 * math.pi * 1000.0 * i / RATE)))
    inputs["noise"] = os.path.join(folder, "noise_stereo_float.wav")
    write_wav(inputs["noise"], [left, right], 32)
    return inputs


SETTINGS = {
    "default": [],
    "busy": "--seed 7 --set Sensitivity=0.6 --set Auto=1 --set Pre=0.5 --set Mode_A=0.8 --set Mode_B=0.4 "
    "--set Low=0.01 --set High=0.2".split(),
    "inverted": "--seed 11 --set Inv=1 --set Low=0.05 --set High=0.3 --set Mode_A=1 --set Mode_B=1 --set Pre=0.3 "
    "--set Sensitivity=1".split(),
    "bypass": "--seed 5 --set Bypass=1 --set Sensitivity=0.5 --set Auto=1 --set Pre=0.7".split(),
    "measure": "--seed 123 --set Sensitivity=1 --set Auto=1 --set Pre=1 --set Mode_A=0.5 --set High=0.5 "
    "--compensate".split(),
}
BLOCKS = [1, 37, 512, 4096]


def cases(inputs):
    """(name, arguments, output files) of every case; outputs are relative names."""
    out = []
    for s, (setting, args) in enumerate(SETTINGS.items()):
        for k, signal in enumerate(("chord", "sweep", "edges", "noise")):
            block = BLOCKS[(s + k) % len(BLOCKS)]
            name = "%s-%s-block%d" % (signal, setting, block)
            out.append((name, args + ["--block", str(block), "--format", "wav:float", inputs[signal], name + ".wav"],
                        [name + ".wav"]))
    # Integer output, where loud samples clip.
    out.append(("edges-busy-pcm16", SETTINGS["busy"] + ["--format", "wav:pcm16", inputs["edges"], "edges-pcm16.wav"],
                ["edges-pcm16.wav"]))
    out.append(("demo", ["--demo", "demo.wav"], ["demo.wav", "demo.png"]))
    out.append(("snapshot-busy", SETTINGS["busy"] + ["--format", "wav", "--snapshot", "busy.png", inputs["noise"],
                                                      "busy-snapshot.wav"], ["busy.png"]))
    return out


def render(command, args, folder):
    os.makedirs(folder, exist_ok=True)
    result = subprocess.run(command + ["-q"] + args, cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if result.returncode != 0:
        raise RuntimeError("%s exited with %d: %s" % (" ".join(command), result.returncode,
                                                      result.stderr.decode(errors="replace").strip()))


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--reference", required=True, help="tesk-render built for this machine")
    parser.add_argument("candidate", nargs="+", help="command that runs the other tesk-render")
    options = parser.parse_args()
    reference = [os.path.abspath(options.reference)]
    candidate = [os.path.abspath(c) if os.path.exists(c) else c for c in options.candidate]

    passed = failed = 0
    with tempfile.TemporaryDirectory(prefix="tesk-cross-") as folder:
        inputs = make_inputs(folder)
        for name, args, outputs in cases(inputs):
            ref_dir, cand_dir = os.path.join(folder, "reference"), os.path.join(folder, "candidate")
            try:
                render(reference, args, ref_dir)
                render(candidate, args, cand_dir)
                problems = []
                for out in outputs:
                    with open(os.path.join(ref_dir, out), "rb") as f:
                        a = f.read()
                    with open(os.path.join(cand_dir, out), "rb") as f:
                        b = f.read()
                    if a != b:
                        problems.append("%s differs from byte %d (sizes %d and %d)" %
                                        (out, first_difference(a, b), len(a), len(b)))
            except (RuntimeError, OSError) as e:
                problems = [str(e)]
            if problems:
                failed += 1
                print("FAIL %s: %s" % (name, "; ".join(problems)))
            else:
                passed += 1
                print("ok   %s" % name)
            sys.stdout.flush()
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
