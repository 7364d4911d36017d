#!/usr/bin/python3
"""Times the decomposition of 2000 traces of 500 points by lumatix_bench_svd (the whole
DecomposeTraces command and Eigen's SVD alone) and by numpy.linalg.svd (thin U and V, as the
command computes them) in the same run, and prints the ratio. Both sides report the best of
their rounds, as wall and as processor time (a busy machine inflates wall time).

Usage: /usr/bin/python3 bench/svd_numpy_compare.py [lumatix_bench_svd] [rounds]
"""
import json
import os
import subprocess
import sys
import time

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "release", "bench",
                                                                  "lumatix_bench_svd")
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    a = np.random.default_rng(5).normal(size=(2000, 500))
    wall = cpu = float("inf")
    for _ in range(rounds):
        w0, c0 = time.perf_counter(), time.process_time()
        np.linalg.svd(a, full_matrices=False)
        wall, cpu = min(wall, time.perf_counter() - w0), min(cpu, time.process_time() - c0)
    print("numpy.linalg.svd 2000 x 500: %.1f ms wall, %.1f ms CPU" % (wall * 1e3, cpu * 1e3))
    done = subprocess.run([program, "--benchmark_format=json", "--benchmark_repetitions=%d" % rounds,
                           "--benchmark_min_time=0.01"], capture_output=True, text=True, check=True)
    best = {}
    for b in json.loads(done.stdout)["benchmarks"]:
        if b.get("run_type") == "aggregate":
            continue
        name = b["name"].split("/")[0]
        scale = {"ms": 1.0, "us": 1e-3, "ns": 1e-6, "s": 1e3}[b["time_unit"]]
        w, c = b["real_time"] * scale, b["cpu_time"] * scale
        previous = best.get(name, (float("inf"), float("inf")))
        best[name] = (min(previous[0], w), min(previous[1], c))
    for name, (w, c) in best.items():
        print("%s 2000 x 500: %.1f ms wall, %.1f ms CPU; numpy/lumatix %.1fx wall, %.1fx CPU"
              % (name, w, c, wall * 1e3 / w, cpu * 1e3 / c))


if __name__ == "__main__":
    main()
