#!/usr/bin/python3
"""Times scipy.optimize.least_squares on the global fit of lumatix_bench_global_fit: 200
traces of 1000 points, c_t + a_t.exp(-k.x) with k shared (401 parameters), noise 0.05, from
the same kind of start (k = 1, c_t and a_t from each trace's ends). The Jacobian is analytic
and handed over as a sparse matrix: a dense one would be 200,000 x 401 doubles (640 MB).
Prints the best wall and processor time of the rounds.

Usage: /usr/bin/python3 bench/global_fit_scipy_bench.py [traces] [points]
"""
import sys
import time

import numpy as np
from scipy.optimize import least_squares
from scipy.sparse import csr_matrix

traces = int(sys.argv[1]) if len(sys.argv) > 1 else 200
points = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
rng = np.random.default_rng(17)
x = np.linspace(0.0, 5.0, points)
c_true = 0.01 * np.arange(traces) - 0.5
a_true = 1.0 + 0.01 * np.arange(traces)
y = c_true[:, None] + a_true[:, None] * np.exp(-0.8 * x)[None, :] + rng.normal(0.0, 0.05, (traces, points))

rows = np.arange(traces * points)
trace_of_row = rows // points
cols_k = np.zeros(traces * points, dtype=int)
cols_c = 1 + 2 * trace_of_row
cols_a = 2 + 2 * trace_of_row
pattern_rows = np.concatenate([rows, rows, rows])
pattern_cols = np.concatenate([cols_k, cols_c, cols_a])


def residuals(p):
    k, c, a = p[0], p[1::2], p[2::2]
    return (c[:, None] + a[:, None] * np.exp(-k * x)[None, :] - y).ravel()


def jacobian(p):
    k, a = p[0], p[2::2]
    e = np.exp(-k * x)
    dk = (-a[:, None] * (x * e)[None, :]).ravel()
    dc = np.ones(traces * points)
    da = np.tile(e, traces)
    return csr_matrix((np.concatenate([dk, dc, da]), (pattern_rows, pattern_cols)), shape=(traces * points, 1 + 2 * traces))


start = np.empty(1 + 2 * traces)
start[0] = 1.0
start[1::2] = y[:, -1]
start[2::2] = y[:, 0] - y[:, -1]

best_wall = best_cpu = float("inf")
for _ in range(3):
    w0, c0 = time.perf_counter(), time.process_time()
    fit = least_squares(residuals, start, jac=jacobian, method="trf", tr_solver="lsmr", x_scale="jac")
    j = fit.jac
    jtj = (j.T @ j).toarray()
    err = np.sqrt(np.diag(np.linalg.inv(jtj)) * 2.0 * fit.cost / (j.shape[0] - j.shape[1]))
    best_wall = min(best_wall, time.perf_counter() - w0)
    best_cpu = min(best_cpu, time.process_time() - c0)
print(f"scipy least_squares {traces} x {points}: k = {fit.x[0]:.6f} +- {err[0]:.2g}, nfev {fit.nfev}, "
      f"wall {best_wall * 1e3:.1f} ms, cpu {best_cpu * 1e3:.1f} ms")
