#!/usr/bin/env python3
"""Writes Morlanz's sounds: short, soft PCM WAV files, mono, 8 bits per sample.

The files are committed; run this again only to change a sound. Output is deterministic.
"""
import math
import os
import random
import struct
import wave

HERE = os.path.dirname(os.path.abspath(__file__))


def note(freq, start, length, rate, volume=1.0, decay=6.0, harmonics=(1.0, 0.25, 0.08)):
    """A bell-like tone: fast attack, exponential decay, a few soft overtones."""
    samples = {}
    attack = 0.004
    for i in range(int(length * rate)):
        t = i / rate
        env = min(1.0, t / attack) * math.exp(-decay * t)
        v = sum(a * math.sin(2 * math.pi * freq * (k + 1) * t) for k, a in enumerate(harmonics))
        samples[int(start * rate) + i] = volume * env * v / sum(harmonics)
    return samples


def mix(total, rate, *parts):
    out = [0.0] * int(round(total * rate))
    for part in parts:
        for i, v in part.items():
            if 0 <= i < len(out):
                out[i] += v
    # A short fade at both ends, so a sound never starts or stops with a click of its own.
    fade = max(1, int(0.003 * rate))
    for i in range(fade):
        out[i] *= i / fade
        out[-1 - i] *= i / fade
    return out


def write(name, rate, data, peak=0.55):
    top = max(1e-9, max(abs(v) for v in data))
    frames = bytes(max(0, min(255, int(round(128 + 127 * peak * v / top)))) for v in data)
    with wave.open(os.path.join(HERE, name + ".wav"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)  # 8-bit PCM is unsigned
        w.setframerate(rate)
        w.writeframes(frames)


def click():
    rate, total = 22050, 0.07
    rng = random.Random(1)
    noise = {i: rng.uniform(-1, 1) * math.exp(-i / (0.004 * rate)) * 0.5 for i in range(int(0.02 * rate))}
    return rate, mix(total, rate, note(1760, 0, total, rate, decay=70), noise)


def move():
    rate, total = 11025, 0.03
    return rate, mix(total, rate, note(2349, 0, total, rate, decay=110, harmonics=(1.0,)))


def menu_open():
    # A rising arpeggio, C E G C.
    rate, total = 11025, 1.0
    notes = [note(f, 0.09 * k, total - 0.09 * k, rate, volume=0.8 + 0.05 * k, decay=5.5)
             for k, f in enumerate((523.25, 659.25, 783.99, 1046.5))]
    return rate, mix(total, rate, *notes)


def menu_close():
    # The same figure falling, a little lower and slower.
    rate, total = 22050, 1.25
    notes = [note(f, 0.11 * k, total - 0.11 * k, rate, volume=1.0 - 0.08 * k, decay=4.8)
             for k, f in enumerate((987.77, 783.99, 587.33, 392.0))]
    return rate, mix(total, rate, *notes)


def error():
    rate, total = 11025, 0.7
    return rate, mix(total, rate, note(392.0, 0, 0.35, rate, decay=7), note(311.13, 0.3, 0.4, rate, decay=7))


def ready():
    rate, total = 8000, 2.0
    notes = [note(f, 0.25 * k, total - 0.25 * k, rate, decay=2.6) for k, f in enumerate((587.33, 880.0, 1174.66))]
    return rate, mix(total, rate, *notes)


if __name__ == "__main__":
    for name, make in (("KLICK", click), ("MOVE", move), ("MENUE_AUF", menu_open), ("MENUE_ZU", menu_close),
                       ("FEHLER", error), ("READY", ready)):
        rate, data = make()
        write(name, rate, data)
