#!/usr/bin/python3
"""Random stopped-flow shots fitted from the program's own start values by lumatix_fit_shots
(the dialog's and `lumatix fit`'s path: estimate, steps to the convergence test or 25 steps,
statistics) and by scipy's curve_fit (MINPACK Levenberg-Marquardt, analytic Jacobian) from
the same start values, in the same run.

Shots: c + sum a_i exp(-k_i t) with 1000 points over t in [0, 10], rates from 0.3 per unit up,
neighbouring phases 3 to 30 times apart and none above 30, amplitudes 0.3-1 of either sign,
Gaussian noise 1% of the summed amplitudes. A fit is at the minimum when its sum of squares is
within a hundredth of one residual variance of the lowest that scipy finds from the truth, from
our answer and from its own answer with tight tolerances.

Prints, for each program: shots at the minimum, wrong fits reported converged (ours), median
iterations (ours) and the time of the fits, summed over all shots and as the median ratio.

Usage: /usr/bin/python3 bench/fitting_shots_compare.py [lumatix_fit_shots] [shots] [terms] [seed] [max-iter]
"""
import os
import subprocess
import sys
import tempfile
import time
import warnings

import numpy as np
from scipy.optimize import OptimizeWarning, curve_fit, least_squares

HERE = os.path.dirname(os.path.abspath(__file__))
POINTS = 1000


def model(x, *p):
    y = np.full_like(x, p[0])
    for j in range(1, len(p), 2):
        y = y + p[j] * np.exp(-p[j + 1] * x)
    return y


def jacobian(x, *p):
    columns = [np.ones_like(x)]
    for j in range(1, len(p), 2):
        e = np.exp(-p[j + 1] * x)
        columns += [e, -p[j] * x * e]
    return np.column_stack(columns)


def random_shot(terms, rng):
    while True:
        rates = [0.3 * 10 ** rng.uniform()]
        while len(rates) < terms:
            rates.append(rates[-1] * 3 * 10 ** rng.uniform())
        if rates[-1] <= 30:
            break
    truth = [rng.uniform() - 0.5]
    for k in rates:
        truth += [(0.3 + 0.7 * rng.uniform()) * (1 if rng.uniform() < 0.5 else -1), k]
    x = np.linspace(0.0, 10.0, POINTS)
    noise = 0.01 * sum(abs(a) for a in truth[1::2])
    return np.array(truth), x, model(x, *truth) + rng.normal(0.0, noise, POINTS)


def squares(p, x, y):
    return float(np.sum((model(x, *p) - y) ** 2))


def polish(p, x, y):
    with np.errstate(all="ignore"):
        fit = least_squares(lambda q: model(x, *q) - y, p, jac=lambda q: jacobian(x, *q), method="lm",
                            ftol=1e-15, xtol=1e-15, gtol=1e-15, max_nfev=20000)
    return squares(fit.x, x, y) if np.all(np.isfinite(fit.x)) else np.inf


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "release", "bench",
                                                                  "lumatix_fit_shots")
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    terms = int(sys.argv[3]) if len(sys.argv) > 3 else 2
    rng = np.random.default_rng(int(sys.argv[4]) if len(sys.argv) > 4 else 20261207)
    limit = sys.argv[5] if len(sys.argv) > 5 else "25"
    shots = [random_shot(terms, rng) for _ in range(count)]
    with tempfile.TemporaryDirectory() as folder:
        path_in, path_out = os.path.join(folder, "shots.txt"), os.path.join(folder, "fits.txt")
        with open(path_in, "w") as f:
            for _, x, y in shots:
                f.write("%d %d\n" % (terms, len(x)))
                f.writelines("%r %r\n" % (float(a), float(b)) for a, b in zip(x, y))
        subprocess.run([program, path_in, path_out, limit], check=True)
        with open(path_out) as f:
            rows = [line.split() for line in f]

    m = 1 + 2 * terms
    ours_right = scipy_right = wrong_converged = 0
    ours_time = scipy_time = estimate_time = 0.0
    iterations, ratios = [], []
    for (truth, x, y), row in zip(shots, rows):
        converged, reason, steps = row[0] == "1", row[1], int(row[2])
        ours_chi, ours_seconds, ours_estimate = float(row[3]), float(row[4]), float(row[5])
        start = np.array([float(v) for v in row[6:6 + m]])
        ours = np.array([float(v) for v in row[6 + m:6 + 2 * m]])
        with warnings.catch_warnings(), np.errstate(all="ignore"):
            warnings.simplefilter("ignore", OptimizeWarning)
            began = time.perf_counter()
            try:
                theirs, _ = curve_fit(model, x, y, p0=start, jac=jacobian, method="lm")
            except RuntimeError:
                theirs = None
            their_seconds = time.perf_counter() - began
        scipy_chi = squares(theirs, x, y) if theirs is not None else np.inf
        candidates = [polish(truth, x, y), squares(truth, x, y), polish(ours, x, y)]
        if theirs is not None:
            candidates.append(polish(theirs, x, y))
        minimum = min(candidates)
        tolerance = minimum * (1.0 + 0.01 / (POINTS - m))
        right = ours_chi <= tolerance
        ours_right += right
        scipy_right += scipy_chi <= tolerance
        if converged and not right:
            wrong_converged += 1
            print("called converged off the minimum: chi %.9g, minimum %.9g, truth %s, fit %s"
                  % (ours_chi, minimum, np.array2string(truth, precision=4), np.array2string(ours, precision=4)))
        iterations.append(steps)
        ours_time += ours_seconds
        estimate_time += ours_estimate
        scipy_time += their_seconds
        ratios.append(their_seconds / max(ours_seconds, 1e-9))
    n = len(shots)
    print("%d shots of %d phase(s), %d points, at most %s iterations" % (n, terms, POINTS, limit))
    print("lumatix: %d of %d at the minimum (%.1f%%), %d wrong and called converged, median iterations %g"
          % (ours_right, n, 100.0 * ours_right / n, wrong_converged, np.median(iterations)))
    print("scipy curve_fit (lm, analytic Jacobian) from the same starts: %d of %d at the minimum (%.1f%%)"
          % (scipy_right, n, 100.0 * scipy_right / n))
    print("time of all fits: lumatix %.1f ms (estimates %.1f ms more), scipy %.1f ms; scipy/lumatix: %.1fx summed, "
          "%.1fx median per shot" % (ours_time * 1e3, estimate_time * 1e3, scipy_time * 1e3,
                                     scipy_time / ours_time, float(np.median(ratios))))


if __name__ == "__main__":
    main()
