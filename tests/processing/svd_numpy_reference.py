# Reads "m n" and m*n values (row-major), writes the singular values and then V^T scaled by
# them (one row per component) from numpy.linalg.svd. Exit 77 when numpy is missing.
import sys

try:
    import numpy as np
except ImportError:
    sys.exit(77)

with open(sys.argv[1]) as f:
    m, n = (int(v) for v in f.readline().split())
    a = np.array([float(v) for v in f.read().split()]).reshape(m, n)
u, s, vt = np.linalg.svd(a, full_matrices=False)
with open(sys.argv[2], "w") as out:
    for v in s:
        out.write("%.17g\n" % v)
    for k in range(len(s)):
        out.write(" ".join("%.17g" % (s[k] * x) for x in vt[k]) + "\n")
