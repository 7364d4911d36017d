#!/usr/bin/python3
"""Times scipy.signal.savgol_filter(polyorder=2) on a 1,000,000-point trace.

Same length, shape and noise level as bench/smoothing_bench.cpp (the noise itself comes from
numpy's generator), windows 5, 21 and 101; float64 as scipy works by default, and float32
input for reference. Each timing is the best of several rounds, as wall and as processor
time (compare the latter with the benchmark's CPU column on a busy machine).

Usage: /usr/bin/python3 bench/smoothing_scipy_bench.py
"""
import time

import numpy as np
from scipy.signal import savgol_filter


def best_time(y, window, rounds):
    best_wall = best_cpu = float("inf")
    for _ in range(rounds):
        w0, c0 = time.perf_counter(), time.process_time()
        savgol_filter(y, window, 2)
        best_wall = min(best_wall, time.perf_counter() - w0)
        best_cpu = min(best_cpu, time.process_time() - c0)
    return best_wall, best_cpu


def main():
    rng = np.random.default_rng(3)
    i = np.arange(1000000)
    y = np.sin(i * 1e-4) + rng.normal(0, 0.05, i.size)
    for dtype in (np.float64, np.float32):
        data = y.astype(dtype)
        for window in (5, 21, 101):
            wall, cpu = best_time(data, window, 10)
            print(f"savgol_filter {np.dtype(dtype).name}, window {window}: {wall * 1e3:.2f} ms wall, {cpu * 1e3:.2f} ms CPU")


if __name__ == "__main__":
    main()
