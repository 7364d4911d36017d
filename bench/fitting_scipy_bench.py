#!/usr/bin/python3
"""Times scipy.optimize.curve_fit (analytic Jacobian) on the fits of lumatix_bench_fitting.

Same sizes, shapes and noise levels as bench/fitting_bench.cpp (the noise itself comes from
numpy's generator, not the C++ one). The start values are the ones our estimate rules give
for those data sets, so both sides start from the same place:
  single exponential (c, a, k):          1.0880, 9.9825, 0.076769
  double exponential (c, a1, k1, a2, k2): 0.51763, 2.4839, 0.49858, 2.4839, 0.099717
Each timing covers the fit and the parameter errors, the best of several rounds, as wall
and as processor time (compare the latter with the benchmark's CPU column on a busy machine).

Usage: /usr/bin/python3 bench/fitting_scipy_bench.py
"""
import time

import numpy as np
from scipy.optimize import curve_fit


def single(x, c, a, k):
    return c + a * np.exp(-k * x)


def single_jac(x, c, a, k):
    e = np.exp(-k * x)
    return np.column_stack([np.ones_like(x), e, -a * x * e])


def double(x, c, a1, k1, a2, k2):
    return c + a1 * np.exp(-k1 * x) + a2 * np.exp(-k2 * x)


def double_jac(x, c, a1, k1, a2, k2):
    e1, e2 = np.exp(-k1 * x), np.exp(-k2 * x)
    return np.column_stack([np.ones_like(x), e1, -a1 * x * e1, e2, -a2 * x * e2])


def best_time(model, jac, x, y, start, rounds):
    """Best wall time and best processor time of the rounds (the machine may be shared)."""
    best_wall = best_cpu = float("inf")
    for _ in range(rounds):
        w0, c0 = time.perf_counter(), time.process_time()
        params, pcov = curve_fit(model, x, y, p0=start, jac=jac)
        np.sqrt(np.diag(pcov))
        best_wall = min(best_wall, time.perf_counter() - w0)
        best_cpu = min(best_cpu, time.process_time() - c0)
    return best_wall, best_cpu, params


def main():
    rng = np.random.default_rng(42)
    x = np.linspace(0, 100, 100000)
    y = single(x, 1, 10, 0.05) + rng.normal(0, 0.1, x.size)
    wall, cpu, p = best_time(single, single_jac, x, y, [1.0880, 9.9825, 0.076769], 30)
    print(f"single exponential, 100000 points: {wall * 1e3:.2f} ms wall, {cpu * 1e3:.2f} ms CPU  params {p}")
    x = np.linspace(0, 50, 10000)
    y = double(x, 0.5, 3, 1, 2, 0.1) + rng.normal(0, 0.02, x.size)
    wall, cpu, p = best_time(double, double_jac, x, y, [0.51763, 2.4839, 0.49858, 2.4839, 0.099717], 100)
    print(f"double exponential, 10000 points: {wall * 1e3:.2f} ms wall, {cpu * 1e3:.2f} ms CPU  params {p}")


if __name__ == "__main__":
    main()
