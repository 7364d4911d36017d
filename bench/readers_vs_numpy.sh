#!/bin/sh
# Times `lumatix info` loading a column file and a JCAMP-DX file of x y pairs (about SIZE_MB
# megabytes each) against numpy.loadtxt reading the same values, in the same run, and
# compares lumatix's peak memory with the values it holds (4 bytes each, plus the text it
# reads at most once and a fixed 48 MiB).
#
#   bench/readers_vs_numpy.sh LUMATIX [SIZE_MB]      (LUMATIX from a release build)
set -eu
lumatix=$1 size=${2:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - "$work" "$size" <<'PY'
import sys, numpy as np
work, size = sys.argv[1], int(sys.argv[2])
rng = np.random.default_rng(1)
# Four columns of about 11 characters each: x and three traces.
n = size * 1024 * 1024 // 44
x = np.arange(n) * 0.01 + 200.0
table = np.column_stack([x, rng.normal(size=(n, 3))])
np.savetxt(f"{work}/columns.txt", table, fmt="%.4f", delimiter="\t", header="Wavelength (nm)\tA\tB\tC", comments="")
n = size * 1024 * 1024 // 20
pairs = np.column_stack([np.arange(n) * 0.01 + 200.0, rng.normal(size=n)])
np.savetxt(f"{work}/pairs.txt", pairs, fmt="%.4f %.6f")
with open(f"{work}/pairs.jdx", "w") as f:
    f.write(f"##TITLE= bench\n##JCAMP-DX= 5.01\n##XUNITS= NANOMETERS\n##YUNITS= ABSORBANCE\n##NPOINTS= {n}\n"
            "##XYDATA= (XY..XY)\n")
    with open(f"{work}/pairs.txt") as c:
        f.write(c.read())
    f.write("##END=\n")
PY
ls -l "$work"

# Seconds of wall time and of processor time (user and system) of a command, the best of
# three each: on a shared machine the processor time is the fairer figure.
best() {
  /usr/bin/python3 - "$@" <<'PY'
import resource, subprocess, sys, time
walls, cpus = [], []
for _ in range(3):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    t = time.perf_counter()
    subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL)
    walls.append(time.perf_counter() - t)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpus.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
print(f"{min(walls):.3f} {min(cpus):.3f}")
PY
}

compare() {
  name=$1 file=$2 loadtxt=$3
  ours=$(best "$lumatix" info "$file")
  theirs=$(best /usr/bin/python3 -c "import numpy, sys; numpy.loadtxt(sys.argv[1], $loadtxt)" "$file")
  /usr/bin/python3 -c "
import sys
aw, ac, bw, bc = map(float, sys.argv[2:])
print(f'{sys.argv[1]}: wall lumatix {aw:.2f} s, numpy.loadtxt {bw:.2f} s, {bw / aw:.1f}x; '
      f'processor lumatix {ac:.2f} s, numpy.loadtxt {bc:.2f} s, {bc / ac:.1f}x')" "$name" $ours $theirs
  bytes=$(stat -c %s "$file")
  /usr/bin/time -f '%M' -o "$work/rss" "$lumatix" info "$file" >/dev/null
  values=$(/usr/bin/python3 -c "import numpy, sys; print(numpy.loadtxt(sys.argv[1], $loadtxt).size)" "$file")
  /usr/bin/python3 -c "
import sys
rss, values, text = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
bound = (4 * values + text + 48 * 1024 * 1024) // 1024
print(f'  peak resident {rss} KiB for {values} values; bound {bound} KiB', 'ok' if rss < bound else 'OVER')
" "$(cat "$work/rss")" "$values" "$bytes"
}

compare "columns (4 columns, tabs, header)" "$work/columns.txt" "skiprows=1, delimiter='\t'"
compare "JCAMP-DX (XY..XY) pairs" "$work/pairs.jdx" "skiprows=6, max_rows=$(($(wc -l < "$work/pairs.jdx") - 7))"
