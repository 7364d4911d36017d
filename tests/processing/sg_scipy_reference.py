#!/usr/bin/python3
"""Smooths the trace of IN with scipy.signal.savgol_filter(polyorder=2) and writes the result.

IN holds the window length on its first line and then one value per line; OUT receives one
smoothed value per line (repr form). Exits with 77 when numpy or scipy is missing.

Usage: sg_scipy_reference.py IN OUT
"""
import sys

try:
    import numpy as np
    from scipy.signal import savgol_filter
except ImportError:
    sys.exit(77)


def main():
    with open(sys.argv[1]) as f:
        window = int(f.readline())
        y = np.array([float(line) for line in f if line.strip()])
    smoothed = savgol_filter(y, window, 2)
    with open(sys.argv[2], "w") as f:
        for v in smoothed:
            f.write(repr(float(v)) + "\n")


if __name__ == "__main__":
    main()
