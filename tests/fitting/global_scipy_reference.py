#!/usr/bin/env python3
"""Fits c_t + a_t.exp(-k.x) to several traces with k shared, by least_squares on the stacked
problem. Reads 'x y' lines with a blank line between traces; prints k and its error, then one
line 'c a err_c err_a' per trace."""
import sys

import numpy as np
from scipy.optimize import least_squares

blocks = [b for b in open(sys.argv[1]).read().split("\n\n") if b.strip()]
traces = [np.loadtxt(b.splitlines()) for b in blocks]
k0 = float(sys.argv[2])
start = [k0]
for t in traces:
    start += [t[-1, 1], t[0, 1] - t[-1, 1]]


def residuals(p):
    k = p[0]
    out = []
    for i, t in enumerate(traces):
        c, a = p[1 + 2 * i], p[2 + 2 * i]
        out.append(c + a * np.exp(-k * t[:, 0]) - t[:, 1])
    return np.concatenate(out)


def jacobian(p):
    k = p[0]
    n = sum(len(t) for t in traces)
    jac = np.zeros((n, len(p)))
    row = 0
    for i, t in enumerate(traces):
        e = np.exp(-k * t[:, 0])
        a = p[2 + 2 * i]
        jac[row:row + len(t), 0] = -a * t[:, 0] * e
        jac[row:row + len(t), 1 + 2 * i] = 1.0
        jac[row:row + len(t), 2 + 2 * i] = e
        row += len(t)
    return jac


fit = least_squares(residuals, start, jac=jacobian, method="lm", xtol=1e-15, ftol=1e-15, gtol=1e-15)
j = fit.jac
dof = j.shape[0] - j.shape[1]
cov = np.linalg.inv(j.T @ j) * (2.0 * fit.cost / dof)
err = np.sqrt(np.diag(cov))
print(repr(fit.x[0]), repr(err[0]), repr(2.0 * fit.cost / dof))
for i in range(len(traces)):
    print(repr(fit.x[1 + 2 * i]), repr(fit.x[2 + 2 * i]), repr(err[1 + 2 * i]), repr(err[2 + 2 * i]))
