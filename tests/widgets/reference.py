#!/usr/bin/env python3
"""Checks our filter designs against a reference written from their formulas
(double precision, numpy), and against what the filters must do physically.

    reference.py <response_dump binary>

The dump prints, per design, its settings, our single-precision coefficients
and our |H|^2 at a few frequencies. The reference designs each filter again
from its settings alone; scipy evaluates the reference. The physical checks
evaluate our coefficients where a filter's shape fixes its level: the corner
of a low- or high-pass, the -3 dB points of a band-pass, a shelf's ends and
mid-point, a peak's centre.
"""
import subprocess
import sys

import numpy as np
from scipy.optimize import brentq
from scipy.signal import freqz

FREQUENCIES = [20.0, 63.0, 250.0, 1000.0, 4000.0, 12000.0, 19000.0]
RATE = 96000.0
EPSILON = float(np.finfo(np.float32).eps)
OMEGA = 2 * np.pi * np.array(FREQUENCIES) / RATE
R2 = np.sqrt(2.0)


def tangent(f):
    return np.tan(np.pi * f / RATE)


def peq_design(kind, f, gain, q):
    """b0, b1, b2, a1, a2 of a parametric band, from the design table."""
    K = tangent(f)
    g = 10.0 ** (gain / 20.0)
    if kind == 1:  # peak, A = sqrt(g)
        u = K / (np.sqrt(g) * q)
        n = 1.0 / (u + 1.0 + K * K)
        a1 = 2.0 * (n * K * K - n)
        a2 = n * (1.0 - u + K * K)
        h = (g - 1.0) * u * n
        return 1.0 + h, a1, a2 - h, a1, a2
    if kind == 2:  # first-order low shelf
        c = (K - g) / (K + g) if g <= 1.0 else (K - 1.0) / (K + 1.0)
        h = (c + 1.0) * (g - 1.0) / 2.0
        return 1.0 + h, c + h, 0.0, c, 0.0
    if kind == 3:  # second-order low shelf
        if g > 1.0:
            D = 1.0 + R2 * K + K * K
            return ((1.0 + np.sqrt(2.0 * g) * K + g * K * K) / D, 2.0 * (g * K * K - 1.0) / D,
                    (1.0 - np.sqrt(2.0 * g) * K + g * K * K) / D, 2.0 * (K * K - 1.0) / D,
                    (1.0 - R2 * K + K * K) / D)
        v = 1.0 / g
        D = 1.0 + np.sqrt(2.0 * v) * K + v * K * K
        return ((1.0 + R2 * K + K * K) / D, 2.0 * (K * K - 1.0) / D, (1.0 - R2 * K + K * K) / D,
                2.0 * (v * K * K - 1.0) / D, (1.0 - np.sqrt(2.0 * v) * K + v * K * K) / D)
    if kind == 4:  # first-order high shelf
        Kp = K * g if g <= 1.0 else K
        c = (Kp - 1.0) / (Kp + 1.0)
        return (1.0 + (g - 1.0) * (1.0 - c) / 2.0, c + (g - 1.0) * (c - 1.0) / 2.0, 0.0, c, 0.0)
    if kind == 5:  # second-order high shelf
        if g > 1.0:
            D = 1.0 + R2 * K + K * K
            return ((g + np.sqrt(2.0 * g) * K + K * K) / D, 2.0 * (K * K - g) / D,
                    (g - np.sqrt(2.0 * g) * K + K * K) / D, 2.0 * (K * K - 1.0) / D,
                    (1.0 - R2 * K + K * K) / D)
        v = 1.0 / g
        N = v + np.sqrt(2.0 * v) * K + K * K
        D = 1.0 + np.sqrt(2.0 / v) * K + K * K / v
        return ((1.0 + R2 * K + K * K) / N, 2.0 * (K * K - 1.0) / N, (1.0 - R2 * K + K * K) / N,
                2.0 * (K * K / v - 1.0) / D, (1.0 - np.sqrt(2.0 / v) * K + K * K / v) / D)
    return 1.0, 0.0, 0.0, 0.0, 0.0


def deq_design(kind, f, gain, q):
    """b0, b1, b2, a1, a2 of a dynamic band's filter, from the design table."""
    K = tangent(f)
    m = 10.0 ** (gain / 20.0)
    D = 1.0 + R2 * K + K * K
    if kind == 1:  # band-pass, unity peak
        u = K / (q * np.sqrt(m)) if m > 1.0 else K / q
        n = 1.0 / (u + 1.0 + K * K)
        return n * u, 0.0, -n * u, 2.0 * (n * K * K - n), n * (1.0 - u + K * K)
    if kind == 2:  # first-order low-pass
        r = 1.0 / K
        return 1.0 / (r + 1.0), 1.0 / (r + 1.0), 0.0, (1.0 - r) / (r + 1.0), 0.0
    if kind == 3:  # Butterworth low-pass
        b0 = 1.0 / (R2 / K + 1.0 + 1.0 / (K * K))
        return b0, 2.0 * b0, b0, 2.0 * (K * K - 1.0) / D, (1.0 - R2 * K + K * K) / D
    if kind == 4:  # first-order high-pass
        b0 = 1.0 / (K + 1.0)
        return b0, -b0, 0.0, (K - 1.0) / (K + 1.0), 0.0
    if kind == 5:  # Butterworth high-pass
        return 1.0 / D, -2.0 / D, 1.0 / D, 2.0 * (K * K - 1.0) / D, (1.0 - R2 * K + K * K) / D
    return 0.0, 0.0, 0.0, 0.0, 0.0


def level(coefficients, f):
    """|H|^2 at f (Hz, scalar or list)."""
    b0, b1, b2, a1, a2 = coefficients
    _, h = freqz([b0, b1, b2], [1.0, a1, a2], worN=np.atleast_1d(f), fs=RATE)
    return np.abs(h) ** 2


class Checks:
    def __init__(self):
        self.failures = []
        self.count = 0

    def near(self, what, ours, expected, tolerance):
        self.count += 1
        if not abs(ours - expected) <= tolerance:
            self.failures.append(f"{what}: {ours:.6g}, expected {expected:.6g} (+-{tolerance:.2g})")


def compare_with_reference(line, checks):
    fields = line.split()
    family, kind = fields[0], int(fields[1])
    f, gain, q = (float(x) for x in fields[2:5])
    ours = np.array([float(x) for x in fields[10:]])
    design = peq_design if family == "peq" else deq_design
    reference = level(design(kind, f, gain, q), FREQUENCIES)
    # Our evaluation runs in single precision; its terms cancel towards DC,
    # so its error grows as 1/omega^2, relative to the pass band.
    error = np.abs(ours - reference) / np.maximum(reference, 1.0)
    bound = 16 * EPSILON / OMEGA**2
    checks.count += 1
    if (error > bound).any():
        checks.failures.append(f"{line.split()[:5]} ours {ours} reference {reference}")


def physical(line, checks):
    fields = line.split()
    family, kind = fields[0], int(fields[1])
    f, gain, q = (float(x) for x in fields[2:5])
    ours = tuple(float(x) for x in fields[5:10])
    name = " ".join(fields[:5])
    g2 = 10.0 ** (gain / 10.0)  # |H|^2 of the gain
    K = tangent(f)
    at = lambda hz: float(level(ours, hz)[0])
    # Single-precision coefficients carry their filter only to about eps/K^2
    # near DC: a low corner widens every tolerance by that much.
    slack = 8 * EPSILON / K**2
    near = lambda what, ours_, expected, tolerance: checks.near(
        what, ours_, expected, tolerance + slack * max(abs(expected), 1.0))
    # The corner, or a mid-point, moved to where tan(pi f' / rate) = x.
    moved = lambda x: np.arctan(x) * RATE / np.pi
    if family == "peq":
        if kind == 1:
            near(f"{name} peak at its centre", at(f), g2, 2e-3 * g2)
        elif kind in (2, 3):
            near(f"{name} low shelf at 1 Hz", at(1.0), g2, 2e-3 * g2 + 1e-3)
            near(f"{name} low shelf at 48 kHz", at(47999.0), 1.0, 2e-3)
        elif kind in (4, 5):
            near(f"{name} high shelf at 48 kHz", at(47999.0), g2, 2e-3 * g2)
            near(f"{name} high shelf at 1 Hz", at(1.0), 1.0, 2e-3)
        # Mid-points: a boost and a first-order cut pass (1 + g^2) / 2 there,
        # the first-order cuts with their corner moved by g.
        if kind in (2, 3, 4, 5) and (gain > 0 or kind in (2, 4)):
            where = f
            if gain <= 0 and kind == 2:
                where = moved(K / 10.0 ** (gain / 20.0))
            if gain <= 0 and kind == 4:
                where = moved(K * 10.0 ** (gain / 20.0))
            if where < 47000.0:
                near(f"{name} shelf mid-point", at(where), (1.0 + g2) / 2.0, 3e-3 * (1.0 + g2))
        if kind == 3 and gain <= 0:
            near(f"{name} low shelf cut mid-point", at(f), 2.0 * g2 / (1.0 + g2), 3e-3)
    else:
        if kind in (2, 3, 4, 5):
            near(f"{name} corner", at(f), 0.5, 2e-3)
        if kind == 1:
            near(f"{name} band-pass peak", at(f), 1.0, 2e-3)
            # The -3 dB points: tan(pi f2 / rate) - tan(pi f1 / rate) = K / Q,
            # Q widened by sqrt(m) when the band boosts.
            m = 10.0 ** (gain / 20.0)
            qe = q * np.sqrt(m) if m > 1.0 else q
            top = 47000.0
            if at(top) < 0.5:
                f1 = brentq(lambda x: at(x) - 0.5, 0.01, f)
                f2 = brentq(lambda x: at(x) - 0.5, f, top)
                near(f"{name} band-pass width", tangent(f2) - tangent(f1), K / qe, 5e-3 * K / qe)


def main():
    lines = subprocess.run([sys.argv[1]], check=True, capture_output=True, text=True).stdout.splitlines()
    checks = Checks()
    for line in lines:
        compare_with_reference(line, checks)
        physical(line, checks)
    for failure in checks.failures[:20]:
        print("mismatch:", failure)
    print(f"{checks.count} checks over {len(lines)} designs, {len(checks.failures)} failed")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
