#!/usr/bin/env python3
"""Compares the crossover graph's filters with scipy's own designs.

    xover_crosscheck.py <xover_dump binary>

References, none of them taken from our code:
- Butterworth: scipy.signal.butter at 96 kHz (bilinear, pre-warped at the
  corner), order 1, 2, 3, 4, 8.
- Linkwitz-Riley: the Butterworth of half the order, squared.
- Bessel 12 dB: scipy.signal.bessel(2, norm='phase').
- Bessel 24 dB: the poles of scipy's fourth-order Bessel prototype with the
  'phase' normalisation, each pole pair bilinear-transformed with its own
  pre-warped corner. Our dampings and corner factors are exactly these (see
  check_bessel_numbers); they pair them the other way round, the low-pass
  with the high-pass's pairing and back, so the tight check follows that
  pairing and a second check bounds how far the picture is from the true
  Bessel filter.
Plus: a Linkwitz-Riley low-pass and high-pass at the same corner sum to an
all-pass (the second-order one with the high-pass inverted).
"""
import subprocess
import sys

import numpy as np
from scipy.signal import bessel, besselap, bilinear_zpk, butter, sosfreqz, zpk2sos

RATE = 96000.0
EPS = float(np.finfo(np.float32).eps)
BUTTERWORTH = {1: 1, 2: 2, 5: 3, 6: 4, 9: 8}
LINKWITZ_RILEY = {4: 1, 8: 2, 10: 4}
NAMES = ["OFF", "BUT6", "BUT12", "BES12", "LR12", "BUT18", "BUT24", "BES24", "LR24", "BUT48",
         "LR48"]


def bessel_pairs():
    """(corner factor, damping) of each pole pair of the 4th-order 'phase' prototype."""
    _, p, _ = besselap(4, norm="phase")
    pairs = [(abs(x), -2 * x.real / abs(x)) for x in p if x.imag > 0]
    return sorted(pairs, reverse=True)  # the higher corner first


def check_bessel_numbers():
    (w1, d1), (w2, d2) = bessel_pairs()
    ours = {"K1 factor": 3.326373338699341 / np.pi, "K2 factor": 2.967076539993286 / np.pi,
            "d with the higher corner": 1.241405963897705,
            "d with the lower corner": 1.9159488677978516}
    theirs = {"K1 factor": w1, "K2 factor": w2, "d with the higher corner": d1,
              "d with the lower corner": d2}
    bad = [k for k in ours if abs(ours[k] - theirs[k]) > 1e-6]
    for k in bad:
        print(f"Bessel constant {k}: ours {ours[k]:.9f}, scipy 'phase' {theirs[k]:.9f}")
    return not bad


def prewarped_sections(sections, highpass, f):
    """Second-order sections (corner factor, damping), each pre-warped at its own corner."""
    sos = []
    for factor, d in sections:
        omega = 2 * RATE * np.tan(np.pi * factor * f / RATE)
        poles = omega * np.roots([1.0, d, 1.0])
        if highpass:
            z, k = np.zeros(2), 1.0
        else:
            z, k = np.array([]), omega ** 2
        zd, pd, kd = bilinear_zpk(z, poles, k, RATE)
        sos.append(zpk2sos(zd, pd, kd)[0])
    return np.array(sos)


def reference(kind, highpass, f, true_bessel=False):
    btype = "highpass" if highpass else "lowpass"
    if kind in BUTTERWORTH:
        return butter(BUTTERWORTH[kind], f, btype, fs=RATE, output="sos")
    if kind in LINKWITZ_RILEY:
        half = butter(LINKWITZ_RILEY[kind], f, btype, fs=RATE, output="sos")
        return np.vstack([half, half])
    if kind == 3:
        return bessel(2, f, btype, norm="phase", fs=RATE, output="sos")
    if kind == 7:
        (w1, d1), (w2, d2) = bessel_pairs()
        if true_bessel:  # low-pass as scipy's prototype, high-pass its s -> 1/s
            pairs = [(1 / w1, d1), (1 / w2, d2)] if highpass else [(w1, d1), (w2, d2)]
        else:  # the pairing the picture uses
            pairs = [(w1, d1), (w2, d2)] if highpass else [(w1, d2), (w2, d1)]
        return prewarped_sections(pairs, highpass, f)
    return None


def level_db(sos, freqs):
    if sos is None:
        return np.zeros(len(freqs))
    _, h = sosfreqz(sos, worN=freqs, fs=RATE)
    return 20 * np.log10(np.maximum(np.abs(h), 1e-300))


def our_sos(stages):
    return np.array([[b0, b1, b2, 1.0, a1, a2] for b0, b1, b2, a1, a2 in stages])


def parse(line):
    x = line.split()
    kind, highpass, f = int(x[0]), int(x[1]) == 1, float(x[2])
    stages = [tuple(float(v) for v in x[3 + 5 * i:8 + 5 * i]) for i in range(4)]
    rest = np.array([float(v) for v in x[23:]])
    return kind, highpass, f, stages, rest[0::2], rest[1::2]


def main():
    lines = subprocess.run([sys.argv[1]], check=True, capture_output=True,
                           text=True).stdout.splitlines()
    failures = 0
    worst = 0.0
    bessel_gap = 0.0
    filters = {}
    if not check_bessel_numbers():
        failures += 1
    for line in lines:
        kind, highpass, f, stages, freqs, drawn = parse(line)
        filters[(kind, highpass, f)] = stages
        theirs = level_db(reference(kind, highpass, f), freqs)
        ours = drawn / 2  # the graph draws twice the level in dB
        # Single precision loses the terms that cancel towards DC: the error
        # grows as 1/omega^2 (omega of the frequency drawn and of the corner).
        # Compared down to -60 dB, far below what the graph shows.
        omega = 2 * np.pi * np.minimum(freqs, f) / RATE
        bound = 0.005 + 4.343 * 16 * EPS / omega ** 2
        seen = theirs > -60
        error = np.abs(ours - theirs)
        worst = max(worst, float((error[seen] / bound[seen]).max(initial=0.0)))
        if (error[seen] > bound[seen]).any():
            i = int(np.argmax(np.where(seen, error - bound, -np.inf)))
            print(f"{NAMES[kind]} {'high' if highpass else 'low'}-pass at {f} Hz: "
                  f"{ours[i]:.4f} dB drawn at {freqs[i]:.1f} Hz, reference {theirs[i]:.4f} dB")
            failures += 1
        if kind == 7:
            true = level_db(reference(kind, highpass, f, true_bessel=True), freqs)
            shown = true > -30
            bessel_gap = max(bessel_gap, float(np.abs(ours - true)[shown].max(initial=0.0)))

    # Linkwitz-Riley pairs sum to an all-pass: |LP + HP| = 1 (LR12: LP - HP).
    # Below 200 Hz single-precision coefficients (poles within 1e-3 of z = 1)
    # blur the sum by more than the bound.
    sweep = np.geomspace(20.0, 20000.0, 61)
    for kind, half in LINKWITZ_RILEY.items():
        sign = -1.0 if half % 2 else 1.0
        for (k, hp, f), stages in filters.items():
            if k != kind or not hp or f < 200:
                continue
            _, h_hp = sosfreqz(our_sos(stages), worN=sweep, fs=RATE)
            _, h_lp = sosfreqz(our_sos(filters[(kind, False, f)]), worN=sweep, fs=RATE)
            deviation = np.abs(20 * np.log10(np.abs(h_lp + sign * h_hp)))
            if deviation.max() > 0.01:
                print(f"{NAMES[kind]} at {f} Hz: the pair is off flat by {deviation.max():.4f} dB")
                failures += 1

    # Paired the other way round, the picture stays within 0.6 dB of it.
    if bessel_gap > 0.6:
        print(f"BES24 is {bessel_gap:.3f} dB from the true Bessel filter")
        failures += 1
    print(f"{len(lines)} filters; worst error {worst:.2f} of the bound; "
          f"BES24 within {bessel_gap:.3f} dB of the true Bessel filter above -30 dB")
    print(f"{0 if failures else 1} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
