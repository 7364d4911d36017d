#!/usr/bin/python3
"""Fits the NIST StRD problems the fitting library can express with `lumatix fit` and with
scipy's MINPACK Levenberg-Marquardt (curve_fit), from both of NIST's starting points, in the
same run.

Stores hold single-precision values, so both programs fit the data rounded to float, and a fit
counts as right when every parameter agrees to 6 significant digits with the least-squares
solution of the rounded data. That solution is found by scipy from the certified values with
tight tolerances and then refined by Gauss-Newton steps in extended precision (complex-step
derivatives, 64-bit mantissa): in double precision alone, Lanczos3's sum of squares cannot
tell parameters apart in their sixth digit.
For lumatix the script also counts wrong fits reported converged, which must be none.

Usage: /usr/bin/python3 bench/nist_fit_compare.py [path/to/lumatix]
"""
import json
import os
import subprocess
import sys
import tempfile

import numpy as np
from scipy.optimize import curve_fit, least_squares

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "fitting", "data", "nist")


def read_nist(name):
    starts1, starts2, certified = [], [], []
    rows, headers = [], 0
    with open(os.path.join(DATA, name + ".dat")) as f:
        for line in f:
            words = line.split()
            if headers == 2:
                try:
                    y, x = float(words[0]), float(words[1])
                    rows.append((x, y))
                except (ValueError, IndexError):
                    pass
            elif len(words) >= 5 and words[0].startswith("b") and words[1] == "=":
                starts1.append(float(words[2]))
                starts2.append(float(words[3]))
                certified.append(float(words[4]))
            elif words and words[0] == "Data:":
                headers += 1
    xy = np.array(rows)
    return starts1, starts2, certified, xy[:, 0], xy[:, 1]


def exp3(x, b1, b2, b3, b4, b5, b6):
    return b1 * np.exp(-b2 * x) + b3 * np.exp(-b4 * x) + b5 * np.exp(-b6 * x)


def gauss(x, b1, b2, b3):
    return (b1 / b2) * np.exp(-0.5 * ((x - b3) / b2) ** 2)


# name: NIST model, library function, locks (library numbering from 1), b -> library, library -> b
PROBLEMS = {
    "Misra1a": (lambda x, b1, b2: b1 * (1 - np.exp(-b2 * x)), "Inverted Exponential", "1",
                lambda b: [0.0] + list(b), lambda p: p[1:]),
    "BoxBOD": (lambda x, b1, b2: b1 * (1 - np.exp(-b2 * x)), "Inverted Exponential", "1",
               lambda b: [0.0] + list(b), lambda p: p[1:]),
    "MGH17": (lambda x, b1, b2, b3, b4, b5: b1 + b2 * np.exp(-b4 * x) + b3 * np.exp(-b5 * x),
              "Double Exponential", "", lambda b: [b[0], b[1], b[3], b[2], b[4]],
              lambda p: [p[0], p[1], p[3], p[2], p[4]]),
    "Lanczos1": (exp3, "Triple Exponential", "1", lambda b: [0.0] + list(b), lambda p: p[1:]),
    "Lanczos2": (exp3, "Triple Exponential", "1", lambda b: [0.0] + list(b), lambda p: p[1:]),
    "Lanczos3": (exp3, "Triple Exponential", "1", lambda b: [0.0] + list(b), lambda p: p[1:]),
    "Eckerle4": (gauss, "Single Gaussian", "4", lambda b: [b[0] / b[1], b[1], b[2], 0.0],
                 lambda p: [p[0] * p[1], p[1], p[2]]),
    "Rat42": (lambda x, b1, b2, b3: b1 / (1 + np.exp(b2 - b3 * x)), "Sigmoid curve", "1",
              lambda b: [0.0, b[0], b[1] / b[2], 1.0 / b[2]], lambda p: [p[1], p[2] / p[3], 1.0 / p[3]]),
}


def solve_longdouble(a, b):
    """Gaussian elimination with partial pivoting in extended precision (numpy's linear
    algebra works in double only)."""
    a = [list(row) + [v] for row, v in zip(a, b)]
    n = len(a)
    for c in range(n):
        pivot = max(range(c, n), key=lambda r: abs(a[r][c]))
        a[c], a[pivot] = a[pivot], a[c]
        for r in range(n):
            if r != c:
                factor = a[r][c] / a[c][c]
                a[r] = [u - factor * v for u, v in zip(a[r], a[c])]
    return np.array([a[r][n] / a[r][r] for r in range(n)], dtype=np.longdouble)


def refine(f, b, x, y, steps=8):
    """Gauss-Newton steps in extended precision from b, on the normal equations scaled to unit
    diagonal; the Jacobian by complex steps, exact to rounding for these analytic models."""
    x, y = x.astype(np.longdouble), y.astype(np.longdouble)
    b = np.array(b, dtype=np.longdouble)
    for _ in range(steps):
        r = y - f(x, *b)
        columns = []
        for j in range(len(b)):
            h = np.longdouble(1e-40) * max(abs(b[j]), np.longdouble(1))
            shifted = b.astype(np.clongdouble)
            shifted[j] += 1j * h
            columns.append(np.imag(f(x.astype(np.clongdouble), *shifted)) / h)
        jac = np.column_stack(columns)
        alpha, beta = jac.T @ jac, jac.T @ r
        units = 1 / np.sqrt(np.diag(alpha))
        scaled = alpha * units[:, None] * units[None, :]
        b = b + units * solve_longdouble(scaled, beta * units)
    return np.array(b, dtype=np.float64)


def agrees(b, reference):
    return all(abs(v - r) <= 1e-6 * abs(r) for v, r in zip(b, reference))


def lumatix_fit(program, folder, name, model, locks, to_library, from_library, x, y, start):
    path = os.path.join(folder, name + ".txt")
    with open(path, "w") as f:
        f.write("ASCII\n%d\n" % len(x))
        for xi, yi in zip(x, y):
            f.write("%r %r\n" % (float(xi), float(yi)))
    command = [program, "fit", path, "--model", model, "--max-iter", "1000", "--json",
               "--start", ",".join(repr(float(v)) for v in to_library(start))]
    if locks:
        command += ["--lock", locks]
    done = subprocess.run(command, capture_output=True, text=True)
    if done.returncode != 0:
        return None, False, done.stderr.strip()
    result = json.loads(done.stdout)
    values = [p["value"] for p in result["parameters"]]
    return from_library(values), bool(result["converged"]), result.get("iterations")


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "release", "tools",
                                                                  "lumatix", "lumatix")
    ours = theirs = wrong_converged = runs = 0
    print("%-9s %-6s %-26s %-26s" % ("problem", "start", "lumatix fit", "scipy curve_fit (lm)"))
    with tempfile.TemporaryDirectory() as folder:
        for name, (f, model, locks, to_library, from_library) in PROBLEMS.items():
            starts1, starts2, certified, x, y = read_nist(name)
            x32 = x.astype(np.float32).astype(np.float64)
            y32 = y.astype(np.float32).astype(np.float64)
            reference = least_squares(lambda b: f(x32, *b) - y32, certified, xtol=1e-15, ftol=1e-15,
                                      gtol=1e-15, max_nfev=100000).x
            reference = refine(f, reference, x32, y32)
            for label, start in (("1", starts1), ("2", starts2)):
                runs += 1
                b, converged, note = lumatix_fit(program, folder, name, model, locks, to_library, from_library,
                                                 x32, y32, start)
                right = b is not None and agrees(b, reference)
                ours += right
                wrong_converged += (not right) and converged
                try:
                    with np.errstate(all="ignore"):
                        s, _ = curve_fit(f, x32, y32, p0=start, method="lm", maxfev=100000)
                    scipy_right = agrees(s, reference)
                except (RuntimeError, ValueError):
                    scipy_right = False
                theirs += scipy_right
                ours_text = ("right" if right else "WRONG") + (", converged" if converged else ", warned")
                ours_text += " (%s it.)" % note if b is not None else " (" + str(note) + ")"
                print("%-9s %-6s %-26s %-26s" % (name, label, ours_text, "right" if scipy_right else "wrong"))
    print("right to 6 digits: lumatix %d of %d, scipy %d of %d; lumatix wrong and called converged: %d"
          % (ours, runs, theirs, runs, wrong_converged))


if __name__ == "__main__":
    main()
