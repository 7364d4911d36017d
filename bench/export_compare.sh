#!/bin/sh
# Times numpy.savetxt(fmt='%g', delimiter=',') on the values of the export benchmark's
# 1000 x 1000 store, in the same run as BM_LumatixCSV and BM_SimpleCSV, and checks that
# SimpleCSV writes the very bytes numpy (that is, printf "%g") writes.
#
#   bench/export_compare.sh build/release/bench/lumatix_bench_export
set -eu
bench=${1:?usage: export_compare.sh path/to/lumatix_bench_export}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$bench" --write-simple "$dir/ours.csv" "$dir/table.f32"
"$bench" --benchmark_filter='BM_(LumatixCSV|SimpleCSV|JcampMillionPoints)'
/usr/bin/python3 - "$dir/table.f32" "$dir/numpy.csv" "$dir/ours.csv" <<'PY'
import os, sys, time
import numpy as np

raw, out, ours = sys.argv[1:4]
table = np.fromfile(raw, dtype=np.float32).reshape(1000, 1001)
values = table[:, 1:].size
best_wall = best_cpu = float("inf")
for _ in range(3):
    # A new file each time, as the benchmark writes one.
    if os.path.exists(out):
        os.remove(out)
    t0, c0 = time.perf_counter(), time.process_time()
    np.savetxt(out, table, fmt="%g", delimiter=",")
    best_wall = min(best_wall, time.perf_counter() - t0)
    best_cpu = min(best_cpu, time.process_time() - c0)
size = len(open(out, "rb").read())
print(f"numpy.savetxt: {values} values, {size / 1e6:.1f} MB in {best_wall * 1e3:.0f} ms wall "
      f"({values / best_wall / 1e6:.2f} million values/s, {size / best_wall / 1e6:.1f} MB/s), "
      f"{best_cpu * 1e3:.0f} ms CPU ({values / best_cpu / 1e6:.2f} million values/s)")
same = open(out, "rb").read() == open(ours, "rb").read()
print("SimpleCSV output byte-identical to numpy.savetxt:", "yes" if same else "NO")
sys.exit(0 if same else 1)
PY
