#!/usr/bin/env python3
"""Compares our |H|^2 with scipy.signal.freqz of the same biquad coefficients.

    crosscheck.py <response_dump binary>
"""
import subprocess
import sys

import numpy as np
from scipy.signal import freqz

FREQUENCIES = [20.0, 63.0, 250.0, 1000.0, 4000.0, 12000.0, 19000.0]
RATE = 96000.0
EPSILON = float(np.finfo(np.float32).eps)
OMEGA = 2 * np.pi * np.array(FREQUENCIES) / RATE


def main():
    lines = subprocess.run([sys.argv[1]], check=True, capture_output=True, text=True).stdout.splitlines()
    worst = 0.0
    checked = 0
    for line in lines:
        fields = line.split()
        b0, b1, b2, a1, a2 = (float(x) for x in fields[5:10])
        ours = np.array([float(x) for x in fields[10:]])
        _, h = freqz([b0, b1, b2], [1.0, a1, a2], worN=FREQUENCIES, fs=RATE)
        theirs = np.abs(h) ** 2
        # Our evaluation runs in single precision. Its terms cancel towards
        # DC, so its error grows as 1/omega^2: the bound is 8 units of single
        # precision scaled by that, relative to the pass band.
        error = np.abs(ours - theirs) / np.maximum(theirs, 1.0)
        bound = 8 * EPSILON / OMEGA**2
        worst = max(worst, float((error / bound).max()))
        checked += len(FREQUENCIES)
        if (error > bound).any():
            print(f"mismatch: {line}\n  ours   {ours}\n  scipy  {theirs}")
            print(f"0 passed, 1 failed")
            return 1
    print(f"{checked} points of {len(lines)} designs agree; worst error {worst:.2f} of the bound")
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
