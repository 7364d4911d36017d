#!/usr/bin/python3
"""Times scipy.optimize.curve_fit (analytic Jacobian) on the fits of lumatix_bench_fitting.

Same sizes, shapes and noise levels as bench/fitting_bench.cpp (the noise itself comes from
numpy's generator, not the C++ one). The start values are the ones our estimate rules give
for those data sets, so both sides start from the same place:
  single exponential (c, a, k):          1.0880, 9.9825, 0.076769
  double exponential (c, a1, k1, a2, k2): 0.51763, 2.4839, 0.49858, 2.4839, 0.099717
Each timing covers the fit and the parameter errors, the best of several rounds.

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
    best = float("inf")
    for _ in range(rounds):
        t0 = time.perf_counter()
        params, pcov = curve_fit(model, x, y, p0=start, jac=jac)
        np.sqrt(np.diag(pcov))
        best = min(best, time.perf_counter() - t0)
    return best, params


def main():
    rng = np.random.default_rng(42)
    x = np.linspace(0, 100, 100000)
    y = single(x, 1, 10, 0.05) + rng.normal(0, 0.1, x.size)
    t, p = best_time(single, single_jac, x, y, [1.0880, 9.9825, 0.076769], 30)
    print(f"single exponential, 100000 points: {t * 1e3:.2f} ms  params {p}")
    x = np.linspace(0, 50, 10000)
    y = double(x, 0.5, 3, 1, 2, 0.1) + rng.normal(0, 0.02, x.size)
    t, p = best_time(double, double_jac, x, y, [0.51763, 2.4839, 0.49858, 2.4839, 0.099717], 100)
    print(f"double exponential, 10000 points: {t * 1e3:.2f} ms  params {p}")


if __name__ == "__main__":
    main()
