#!/usr/bin/env python3
"""Audio files for bench/peers.sh, with the standard library only.

  peers_audio.py ir PATH       2-second stereo impulse response (decaying noise, 48 kHz)
  peers_audio.py signal PATH   8-second stereo test signal to loop (48 kHz)
  peers_audio.py compare PATH  for a 4-channel recording (input L/R, output L/R): prints
                               the RMS of output minus input against the input's RMS
"""
import math
import random
import struct
import sys
import wave

RATE = 48000


def write_wav(path, channels, bytes_per_sample):
    """Writes interleaved float frames in [-1, 1) as integer PCM."""
    full_scale = float(1 << (8 * bytes_per_sample - 1))
    top = int(full_scale) - 1
    out = bytearray()
    for frame in channels:
        for value in frame:
            code = max(-top - 1, min(top, int(round(value * full_scale))))
            out += code.to_bytes(bytes_per_sample, "little", signed=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(len(channels[0]))
        w.setsampwidth(bytes_per_sample)
        w.setframerate(RATE)
        w.writeframes(bytes(out))


def impulse_response(path):
    # Noise under an exponential envelope that falls by 60 dB over the 2 s, each channel scaled
    # to unit energy so that the wet signal is about as loud as the dry one.
    n = 2 * RATE
    rng = random.Random(2)
    decay = math.log(1000.0) / n
    chans = []
    for _ in range(2):
        taps = [rng.gauss(0.0, 1.0) * math.exp(-decay * i) for i in range(n)]
        scale = 1.0 / math.sqrt(sum(t * t for t in taps))
        chans.append([t * scale for t in taps])
    write_wav(path, list(zip(*chans)), 3)


def test_signal(path):
    # Eight seconds of plucked chords (a few decaying harmonics per note, a new chord every half
    # second, different notes left and right) over quiet noise: broadband and changing, like music.
    n = 8 * RATE
    rng = random.Random(3)
    roots = [110.0, 146.8, 130.8, 164.8, 98.0, 123.5, 138.6, 155.6]
    left = [0.0] * n
    right = [0.0] * n
    step = RATE // 2
    for k in range(n // step):
        root = roots[k % len(roots)]
        for target, ratios in ((left, (1.0, 1.25, 1.5)), (right, (1.0, 1.2, 2.0))):
            for ratio in ratios:
                f = root * ratio
                for harmonic in range(1, 6):
                    w = 2.0 * math.pi * f * harmonic / RATE
                    if w >= math.pi:
                        break
                    amp = 0.03 / harmonic
                    for i in range(step):
                        target[k * step + i] += amp * math.exp(-6.0 * i / step) * math.sin(w * i)
    frames = [(l + rng.gauss(0.0, 0.01), r + rng.gauss(0.0, 0.01)) for l, r in zip(left, right)]
    write_wav(path, frames, 2)


def read_pcm(path):
    """Reads an integer PCM WAV (plain or extensible) into a list of channel lists."""
    with open(path, "rb") as f:
        data = f.read()
    if data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise SystemExit(f"{path}: not a WAV file")
    pos, fmt, pcm = 12, None, None
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", body)
        elif tag == b"data":
            pcm = body
        pos += 8 + size + (size & 1)
    if fmt is None or pcm is None:
        raise SystemExit(f"{path}: no fmt or data chunk")
    channels, bits = fmt[1], fmt[5]
    width = bits // 8
    count = len(pcm) // (width * channels)
    scale = 1.0 / float(1 << (bits - 1))
    out = [[0.0] * count for _ in range(channels)]
    for i in range(count):
        for c in range(channels):
            at = (i * channels + c) * width
            out[c][i] = int.from_bytes(pcm[at:at + width], "little", signed=True) * scale
    return out


def compare(path):
    chans = read_pcm(path)
    if len(chans) != 4:
        raise SystemExit(f"{path}: expected 4 channels, got {len(chans)}")
    ins, outs = chans[0:2], chans[2:4]
    energy_in = sum(x * x for c in ins for x in c)
    energy_diff = sum((y - x) * (y - x) for a, b in zip(ins, outs) for x, y in zip(a, b))
    if energy_in == 0.0:
        raise SystemExit(f"{path}: the recorded input is silent")
    print(f"{math.sqrt(energy_diff / energy_in):.3f}")


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("ir", "signal", "compare"):
        raise SystemExit(__doc__)
    {"ir": impulse_response, "signal": test_signal, "compare": compare}[sys.argv[1]](sys.argv[2])


if __name__ == "__main__":
    main()
