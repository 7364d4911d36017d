#!/usr/bin/python3
"""The least-squares minimum of many exponential-sum shots, found by scipy from each shot's
true parameters, for the kinetics property test.

Usage: scipy_minimum.py IN OUT
IN:  per shot, a line "TERMS POINTS" (TERMS exponentials plus an offset), a line with the
     true parameters (c, a1, k1, a2, k2, ...), then POINTS lines "x y".
OUT: one line per shot: the sum of squared residuals at scipy's minimum, in repr form.
Exit status 77 when numpy or scipy cannot be imported (the test then skips).
"""
import sys

try:
    import numpy as np
    from scipy.optimize import least_squares
except ImportError:
    sys.exit(77)


def residuals(p, x, y):
    model = np.full_like(x, p[0])
    for j in range(1, len(p), 2):
        model += p[j] * np.exp(-p[j + 1] * x)
    return model - y


def jacobian(p, x, y):
    columns = [np.ones_like(x)]
    for j in range(1, len(p), 2):
        e = np.exp(-p[j + 1] * x)
        columns += [e, -p[j] * x * e]
    return np.column_stack(columns)


def main():
    out = []
    with open(sys.argv[1]) as f:
        while True:
            head = f.readline().split()
            if not head:
                break
            points = int(head[1])
            truth = np.array([float(v) for v in f.readline().split()])
            data = np.array([[float(v) for v in f.readline().split()] for _ in range(points)])
            x, y = data[:, 0], data[:, 1]
            fit = least_squares(residuals, truth, jac=jacobian, args=(x, y), method="lm",
                                ftol=1e-15, xtol=1e-15, gtol=1e-15, max_nfev=20000)
            # From the truth as well: the lower of the two is the minimum the test measures against.
            chi = min(float(np.sum(fit.fun ** 2)), float(np.sum(residuals(truth, x, y) ** 2)))
            out.append(repr(chi))
    with open(sys.argv[2], "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
