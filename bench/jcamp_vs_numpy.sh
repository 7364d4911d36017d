#!/bin/sh
# Times reading a JCAMP-DX file of x y pairs (about SIZE_MB megabytes) with `lumatix info`
# against numpy.loadtxt reading the same values as two columns, in the same run.
#
#   bench/jcamp_vs_numpy.sh LUMATIX [SIZE_MB]
set -eu
lumatix=$1 size=${2:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - "$work" "$size" <<'PY'
import sys, numpy as np
work, size = sys.argv[1], int(sys.argv[2])
n = size * 1024 * 1024 // 20
x = np.arange(n) * 0.01 + 200.0
y = np.random.default_rng(1).normal(size=n)
np.savetxt(f"{work}/cols.txt", np.column_stack([x, y]), fmt="%.4f %.6f")
with open(f"{work}/pairs.jdx", "w") as f:
    f.write(f"##TITLE= bench\n##JCAMP-DX= 5.01\n##XUNITS= NANOMETERS\n##YUNITS= ABSORBANCE\n##NPOINTS= {n}\n##XYDATA= (XY..XY)\n")
    with open(f"{work}/cols.txt") as c:
        f.write(c.read())
    f.write("##END=\n")
PY
ls -l "$work"
start=$(date +%s.%N)
"$lumatix" info "$work/pairs.jdx" >/dev/null
mid=$(date +%s.%N)
/usr/bin/python3 -c "import numpy, sys; numpy.loadtxt(sys.argv[1])" "$work/cols.txt"
end=$(date +%s.%N)
/usr/bin/python3 -c "import sys; a, b, c = map(float, sys.argv[1:]); print(f'lumatix {b-a:.2f} s, numpy.loadtxt {c-b:.2f} s, ratio {(c-b)/(b-a):.1f}x')" "$start" "$mid" "$end"
/usr/bin/time -f "lumatix peak memory %M kB" "$lumatix" info "$work/pairs.jdx" >/dev/null
