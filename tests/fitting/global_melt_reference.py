#!/usr/bin/env python3
"""Fits the two-state unfolding model to several melts with Tm and dH shared and the
baselines (aF, bF, aU, bU) per trace, by least_squares on the stacked problem with the
analytic Jacobian. Reads 'x y' lines with a blank line between traces, and the start
values 'Tm dH' then one line 'aF bF aU bU' per trace from a second file. Prints
'Tm dH err_Tm err_dH reduced_chi_square', then one line of the four baseline values and
their four errors per trace."""
import sys

import numpy as np
from scipy.optimize import least_squares
from scipy.special import expit

R_GAS = 8.314462618
KELVIN = 273.15

blocks = [b for b in open(sys.argv[1]).read().split("\n\n") if b.strip()]
traces = [np.loadtxt(b.splitlines()) for b in blocks]
start_lines = [l.split() for l in open(sys.argv[2]) if l.strip()]
start = [float(v) for v in start_lines[0]]
for line in start_lines[1:]:
    start += [float(v) for v in line]


def parts(p, i, t):
    tm, dh = p[0], p[1]
    af, bf, au, bu = p[2 + 4 * i:6 + 4 * i]
    x = t[:, 0]
    gap = 1 / (tm + KELVIN) - 1 / (x + KELVIN)
    unfolded = expit(dh / R_GAS * gap)
    return x, af + bf * x, au + bu * x, 1 - unfolded, unfolded, gap


def residuals(p):
    out = []
    for i, t in enumerate(traces):
        x, yf, yu, f, u, _ = parts(p, i, t)
        out.append(yf * f + yu * u - t[:, 1])
    return np.concatenate(out)


def jacobian(p):
    n = sum(len(t) for t in traces)
    jac = np.zeros((n, len(p)))
    row = 0
    for i, t in enumerate(traces):
        x, yf, yu, f, u, gap = parts(p, i, t)
        change = (yu - yf) * f * u
        rows = slice(row, row + len(t))
        jac[rows, 0] = -change * p[1] / (R_GAS * (p[0] + KELVIN) ** 2)
        jac[rows, 1] = change * gap / R_GAS
        jac[rows, 2 + 4 * i] = f
        jac[rows, 3 + 4 * i] = x * f
        jac[rows, 4 + 4 * i] = u
        jac[rows, 5 + 4 * i] = x * u
        row += len(t)
    return jac


fit = least_squares(residuals, start, jac=jacobian, method="lm", x_scale="jac", xtol=1e-15, ftol=1e-15,
                    gtol=1e-15, max_nfev=100000)
j = fit.jac
dof = j.shape[0] - j.shape[1]
reduced = 2.0 * fit.cost / dof
# Columns scaled to unit length first: dH in J/mol and the baselines differ by ten orders.
scale = 1 / np.linalg.norm(j, axis=0)
js = j * scale
err = np.sqrt(np.diag(np.linalg.inv(js.T @ js)) * reduced) * scale
print(repr(fit.x[0]), repr(fit.x[1]), repr(err[0]), repr(err[1]), repr(reduced))
for i in range(len(traces)):
    values = fit.x[2 + 4 * i:6 + 4 * i]
    errors = err[2 + 4 * i:6 + 4 * i]
    print(" ".join(repr(float(v)) for v in list(values) + list(errors)))
