#!/bin/sh
# Times numpy.loadtxt on the numbers of the LumatixStore benchmark file, for comparison with
# BM_ReadLumatixStore of lumatix_bench_text.
#
#   bench/loadtxt_compare.sh build/release/bench/lumatix_bench_text
set -eu
bench=${1:?usage: loadtxt_compare.sh path/to/lumatix_bench_text}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$bench" --write-file "$dir/bench.dsa"
/usr/bin/python3 - "$dir/bench.dsa" "$dir/values.csv" <<'PY'
import sys, time
import numpy as np

source, csv = sys.argv[1], sys.argv[2]
# The value rows of the file (comma-separated, after the dimensions, before "History:"),
# copied to a plain CSV file outside the timing.
with open(source) as f:
    lines = f.read().split("\n")
start = lines.index("Dimensions:")
count = int(lines[start + 1])
pos = start + 2
for _ in range(count):
    pos += 4  # name, size, values, empty line
end = lines.index("History:", pos)
rows = [line for line in lines[pos:end] if line]
with open(csv, "w") as f:
    f.write("\n".join(rows) + "\n")

# Wall and processor time both: on a shared machine the processor time is the fairer match
# for the benchmark's default (CPU) figures.
t0, c0 = time.perf_counter(), time.process_time()
values = np.loadtxt(csv, delimiter=",", dtype=np.float32)
elapsed, cpu = time.perf_counter() - t0, time.process_time() - c0
n = values.size
print(f"numpy.loadtxt: {n} values in {elapsed:.3f} s wall ({n / elapsed / 1e6:.2f} million values/s), "
      f"{cpu:.3f} s CPU ({n / cpu / 1e6:.2f} million values/s)")
PY
