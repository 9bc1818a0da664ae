#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
"""Writes notify.wav, the chime Senrokan plays when a line is delayed.

Two soft bell tones, high then low, 22050 Hz mono 16-bit, 0.4 s in all so that three chimes
half a second apart never overlap. Every sample is computed, so the same script always writes
the same bytes; the committed notify.wav is this script's output.

    python3 resources/make_chime.py [OUTPUT]    # default: notify.wav next to this script
"""

import math
import os
import struct
import sys
import wave

RATE = 22050
TONES = ((880.0, 0.2), (660.0, 0.2))  # (Hz, seconds), played one after the other
PEAK = 0.45  # of full scale: a notice, not an alarm
ATTACK = 0.008  # seconds of fade-in; a sudden start would click
RELEASE = 0.04  # seconds of fade-out to exact silence at each tone's end
DECAY = 9.0  # per second: the bell-like fall between attack and release


def envelope(t, length):
    gain = math.exp(-DECAY * t)
    if t < ATTACK:
        gain *= 0.5 - 0.5 * math.cos(math.pi * t / ATTACK)
    left = length - t
    if left < RELEASE:
        gain *= 0.5 - 0.5 * math.cos(math.pi * max(left, 0.0) / RELEASE)
    return gain


def tone(frequency, seconds):
    count = round(seconds * RATE)
    length = count / RATE
    samples = []
    for n in range(count):
        t = n / RATE
        # A quiet octave above the fundamental makes it sound like a bell rather than a beep.
        wave_value = math.sin(2 * math.pi * frequency * t) + 0.2 * math.sin(
            4 * math.pi * frequency * t
        )
        samples.append(round(32767 * PEAK / 1.2 * envelope(t, length) * wave_value))
    return samples


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "notify.wav")
    samples = []
    for frequency, seconds in TONES:
        samples += tone(frequency, seconds)
    with wave.open(output, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(struct.pack("<%dh" % len(samples), *samples))


if __name__ == "__main__":
    main()
