#!/usr/bin/python3
"""Reference fit for the fitting tests: scipy.optimize.curve_fit with analytic Jacobians.

Usage: scipy_reference.py IN OUT
IN:  line 1 the function index, line 2 the start values, then one "x y" line per point.
OUT: line 1 the fitted parameters, line 2 sqrt(diag(pcov)), numbers in repr form.
Exit status 77 when numpy or scipy cannot be imported (the test then skips).
"""
import sys

try:
    import numpy as np
    from scipy.optimize import curve_fit
    from scipy.special import expit
except ImportError:
    sys.exit(77)


def linear(x, a, c):
    return a * x + c


def linear_jac(x, a, c):
    return np.column_stack([x, np.ones_like(x)])


def single_exp(x, c, a, k):
    return c + a * np.exp(-k * x)


def single_exp_jac(x, c, a, k):
    e = np.exp(-k * x)
    return np.column_stack([np.ones_like(x), e, -a * x * e])


def double_exp(x, c, a1, k1, a2, k2):
    return c + a1 * np.exp(-k1 * x) + a2 * np.exp(-k2 * x)


def double_exp_jac(x, c, a1, k1, a2, k2):
    e1, e2 = np.exp(-k1 * x), np.exp(-k2 * x)
    return np.column_stack([np.ones_like(x), e1, -a1 * x * e1, e2, -a2 * x * e2])


def gaussian(x, a, b, c, d):
    return a * np.exp(-0.5 * (x - c) ** 2 / b ** 2) + d


def gaussian_jac(x, a, b, c, d):
    g = np.exp(-0.5 * (x - c) ** 2 / b ** 2)
    return np.column_stack([g, a * g * (x - c) ** 2 / b ** 3, a * g * (x - c) / b ** 2, np.ones_like(x)])


def sigmoid(x, ab, at, x0, w):
    return ab + (at - ab) / (1 + np.exp((x0 - x) / w))


def sigmoid_jac(x, ab, at, x0, w):
    e = np.exp((x0 - x) / w)
    lower = 1 / (1 + e)
    upper = e * lower
    slope = (at - ab) * upper * lower
    return np.column_stack([upper, lower, -slope / w, slope * (x0 - x) / w ** 2])


R_GAS = 8.314462618
KELVIN = 273.15


def unfolding_fractions(x, tm, dh):
    # ln K = dH/R (1/Tm - 1/T) with the temperatures in kelvin; expit keeps the plateaus finite.
    lnk = dh / R_GAS * (1 / (tm + KELVIN) - 1 / (x + KELVIN))
    unfolded = expit(lnk)
    return 1 - unfolded, unfolded, lnk


def unfolding(x, af, bf, au, bu, tm, dh):
    folded, unfolded, _ = unfolding_fractions(x, tm, dh)
    return (af + bf * x) * folded + (au + bu * x) * unfolded


def unfolding_jac(x, af, bf, au, bu, tm, dh):
    folded, unfolded, _ = unfolding_fractions(x, tm, dh)
    change = ((au + bu * x) - (af + bf * x)) * folded * unfolded
    tmk, tk = tm + KELVIN, x + KELVIN
    return np.column_stack([folded, x * folded, unfolded, x * unfolded, -change * dh / (R_GAS * tmk ** 2),
                            change * (1 / tmk - 1 / tk) / R_GAS])


MODELS = {0: (linear, linear_jac), 1: (single_exp, single_exp_jac), 3: (double_exp, double_exp_jac),
          10: (gaussian, gaussian_jac), 15: (sigmoid, sigmoid_jac), 19: (unfolding, unfolding_jac)}


def main():
    with open(sys.argv[1]) as f:
        index = int(f.readline())
        start = [float(v) for v in f.readline().split()]
        data = np.loadtxt(f, ndmin=2)
    model, jac = MODELS[index]
    x, y = data[:, 0], data[:, 1]
    params, pcov = curve_fit(model, x, y, p0=start, jac=jac, ftol=1e-15, xtol=1e-15, gtol=1e-15, maxfev=10000)
    with open(sys.argv[2], "w") as out:
        out.write(" ".join(repr(float(v)) for v in params) + "\n")
        out.write(" ".join(repr(float(v)) for v in np.sqrt(np.diag(pcov))) + "\n")


if __name__ == "__main__":
    main()
