#!/usr/bin/env python3
"""Writes the launcher's four interface sounds (Start, Hover, Click, Open) as short 16-bit mono
WAV files, synthesised from a few tones so that the output is the same on every run.

    python3 make_sounds.py OUTPUT_DIRECTORY
"""

import math
import os
import struct
import sys
import wave

RATE = 22050
VOLUME = 0.35

# name: list of (start seconds, length seconds, frequency Hz, decay per second)
SOUNDS = {
    "Start.wav": [(0.00, 0.35, 392.0, 5), (0.12, 0.35, 523.3, 5), (0.24, 0.55, 659.3, 4)],
    "Hover.wav": [(0.00, 0.05, 1568.0, 60)],
    "Click.wav": [(0.00, 0.08, 880.0, 40), (0.02, 0.06, 1320.0, 60)],
    "Open.wav": [(0.00, 0.25, 329.6, 9), (0.10, 0.35, 493.9, 8)],
}


def samples(tones):
    length = max(start + duration for start, duration, _, _ in tones)
    count = int(length * RATE)
    out = [0.0] * count
    for start, duration, frequency, decay in tones:
        first = int(start * RATE)
        for i in range(int(duration * RATE)):
            t = i / RATE
            attack = min(1.0, t / 0.004)  # no click at the onset
            out[first + i] += attack * math.exp(-decay * t) * math.sin(2 * math.pi * frequency * t)
    peak = max(1e-9, max(abs(value) for value in out))
    return [int(32767 * VOLUME * value / peak) for value in out]


def main():
    directory = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(directory, exist_ok=True)
    for name, tones in SOUNDS.items():
        with wave.open(os.path.join(directory, name), "wb") as sound:
            sound.setnchannels(1)
            sound.setsampwidth(2)
            sound.setframerate(RATE)
            sound.writeframes(b"".join(struct.pack("<h", value) for value in samples(tones)))


if __name__ == "__main__":
    main()
