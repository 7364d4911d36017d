#!/usr/bin/python3
"""Writes JCAMP-DX files in every data form (plain, SQZ, DIF with DUP and the y check, PAC,
several values per line, XYPOINTS and XY..XY pairs, loosely spelled labels), reads each with
lumatix and with the jcampconverter npm package, and compares the values.

    jcamp_variants.py LUMATIX NODE_PREFIX

Exits 77 (skipped) when node or jcampconverter is missing."""
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile

lumatix, prefix = sys.argv[1:3]
if not shutil.which("node") or not os.path.isfile(os.path.join(prefix, "node_modules/jcampconverter/package.json")):
    print("skipped: node or jcampconverter is not installed (scripts/install-deps.sh installs them)")
    sys.exit(77)

SQZ_POS, SQZ_NEG = "@ABCDEFGHI", "@abcdefghi"
DIF_POS, DIF_NEG = "%JKLMNOPQR", "%jklmnopqr"
DUP = "STUVWXYZs"


def sqz(v):
    s = str(abs(v))
    return (SQZ_POS if v >= 0 else SQZ_NEG)[int(s[0])] + s[1:]


def dif(v):
    s = str(abs(v))
    return (DIF_POS if v >= 0 else DIF_NEG)[int(s[0])] + s[1:]


def dup(n):
    s = str(n)
    return DUP[int(s[0]) - 1] + s[1:]


def encode_dif_line(ys):
    """SQZ first value, DIF after, runs of equal differences as DUP counts."""
    out = [sqz(ys[0])]
    diffs = [b - a for a, b in zip(ys, ys[1:])]
    i = 0
    while i < len(diffs):
        j = i
        while j + 1 < len(diffs) and diffs[j + 1] == diffs[i]:
            j += 1
        out.append(dif(diffs[i]))
        if j > i:
            out.append(dup(j - i + 1))
        i = j + 1
    return "".join(out)


def lines_xpp(ys, per_line, form):
    """(X++(Y..Y)) lines; x is the index + 1; DIF lines repeat their last y on the next line."""
    rows, i, n = [], 0, len(ys)
    while i < n:
        chunk = ys[i:i + per_line]
        x = i + 1
        if form == "affn":
            rows.append(f"{x} " + " ".join(str(v) for v in chunk))
        elif form == "sqz":
            rows.append(f"{x}" + "".join(sqz(v) for v in chunk))
        elif form == "pac":
            rows.append(f"{x}" + "".join(f"{v:+d}" for v in chunk))
        elif form == "dif":
            last = i + len(chunk) - 1
            # The next line starts at the last y again: its y check.
            rows.append(f"{x}" + encode_dif_line(chunk))
            if last + 1 < n and last > i:
                i = last
                continue
        i += len(chunk)
    if form == "dif" and per_line > 1:
        # The last line ends in DIF, so a line of its own closes with the y check.
        rows.append(f"{n}" + sqz(ys[-1]))
    return rows


def header(title, n, first, last, yfactor, data, labels_loose=False):
    names = (["## Title", "##JCAMP-DX", "##DATA TYPE", "##X_UNITS", "##Y/UNITS", "##FIRST-X", "##LastX", "##xfactor",
              "##YFACTOR", "##N POINTS", "##FIRSTY"] if labels_loose else
             ["##TITLE", "##JCAMP-DX", "##DATA TYPE", "##XUNITS", "##YUNITS", "##FIRSTX", "##LASTX", "##XFACTOR",
              "##YFACTOR", "##NPOINTS", "##FIRSTY"])
    values = [title + " $$ a comment", "4.24", "UV/VIS SPECTRUM", "NANOMETERS", "ABSORBANCE", first, last, 1, yfactor, n,
              None]
    return [f"{k}= {v}" for k, v in zip(names, values) if v is not None] + [f"##XYDATA= {data}"]


def make_files(work):
    random.seed(17)
    files = {}
    for form in ("affn", "sqz", "pac", "dif"):
        for per_line in (1, 5, 10):
            n = random.randint(20, 200)
            ys = [random.randint(-3000, 3000) for _ in range(n)]
            if form == "dif":
                # Runs of equal steps and flat stretches so DUP counts appear.
                ys = [0]
                for _ in range(n - 1):
                    ys.append(ys[-1] + random.choice([0, 0, 5, 5, 5, -12, 300]))
            lines = header(f"{form}{per_line}", n, 1, n, 0.001, "(X++(Y..Y))", labels_loose=per_line == 5)
            lines += lines_xpp(ys, per_line, form) + ["##END="]
            files[f"{form}{per_line}.jdx"] = "\r\n".join(lines) + "\r\n"
    n = 30
    pairs = [(200 + 0.5 * i * i, random.randint(-500, 500) / 100) for i in range(n)]
    for label, sep in (("XYPOINTS", " "), ("XYDATA", ","), ("PEAK TABLE", ", ")):
        lines = ["##TITLE= pairs", "##JCAMP-DX= 5.01", "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE", "##XFACTOR= 1",
                 "##YFACTOR= 1", f"##NPOINTS= {n}", f"##{label}= (XY..XY)"]
        lines += [f"{x:g}{sep}{y:g}" for x, y in pairs] + ["##END="]
        files[f"pairs_{label.replace(' ', '_')}.jdx"] = "\n".join(lines) + "\n"
    # A compound file: two spectra over one x (one store, a trace each) and one over another x
    # (the second store, "file#2").
    link = ["##TITLE= linked", "##JCAMP-DX= 5.01", "##DATA TYPE= LINK", "##BLOCKS= 3"]
    for b, n in ((1, 24), (2, 24), (3, 9)):
        ys = [random.randint(-900, 900) for _ in range(n)]
        link += [f"##TITLE= block {b}", "##JCAMP-DX= 5.01", "##XUNITS= NANOMETERS", "##YUNITS= ABSORBANCE",
                 "##FIRSTX= 300", f"##LASTX= {300 + 2 * (n - 1)}", "##XFACTOR= 2", "##YFACTOR= 0.01",
                 f"##NPOINTS= {n}", "##XYDATA= (X++(Y..Y))"]
        link += [f"{150 + i}" + "".join(sqz(v) for v in ys[i:i + 8]) for i in range(0, n, 8)] + ["##END="]
    files["link.jdx"] = "\n".join(link + ["##END="]) + "\n"
    # NTUPLES pages of a real and an imaginary part: two properties of one store.
    n = 16
    re_part = [random.randint(-500, 500) for _ in range(n)]
    im_part = [random.randint(-500, 500) for _ in range(n)]
    nt = ["##TITLE= complex", "##JCAMP-DX= 5.00", "##DATA TYPE= NMR SPECTRUM", "##NTUPLES= NMR SPECTRUM",
          "##VAR_NAME= FREQUENCY, SPECTRUM/REAL, SPECTRUM/IMAG, PAGE NUMBER", "##SYMBOL= X, R, I, N",
          f"##VAR_DIM= {n}, {n}, {n}, 2", "##UNITS= HZ, ARBITRARY UNITS, ARBITRARY UNITS,",
          f"##FIRST= 1000, {re_part[0]}, {im_part[0]},", f"##LAST= {1000 + 50 * (n - 1)}, 0, 0,",
          "##FACTOR= 1, 0.5, 0.5,"]
    for page, ys, sym in ((1, re_part, "R"), (2, im_part, "I")):
        nt += [f"##PAGE= N={page}", f"##DATA TABLE= (X++({sym}..{sym})), XYDATA"]
        nt += [f"{1000 + 50 * i} " + " ".join(str(v) for v in ys[i:i + 4]) for i in range(0, n, 4)]
    files["ntuples.jdx"] = "\n".join(nt + ["##END NTUPLES= NMR SPECTRUM", "##END="]) + "\n"
    for name, text in files.items():
        with open(os.path.join(work, name), "w") as f:
            f.write(text)
    return files


def read_lumatix(path, column=1):
    out = subprocess.run([lumatix, "traces", path], check=True, capture_output=True, text=True).stdout
    rows = [line.split("\t") for line in out.splitlines() if line and not line.startswith("#")][1:]
    return [float(r[0]) for r in rows], [float(r[column]) for r in rows]


# What lumatix shows of each file, and where the reference has it: (lumatix path suffix, trace
# column, index of the block in the reference's flattened list, index of its spectrum).
READS = {"link.jdx": [("", 1, 1, 0), ("", 2, 2, 0), ("#2", 1, 3, 0)], "ntuples.jdx": [("", 1, 0, 0)]}


READER = """
const [prefix, path, block, spectrum] = process.argv.slice(1);
const { convert } = await import(`${prefix}/node_modules/jcampconverter/dist/jcampconverter.js`);
const { readFileSync } = await import('node:fs');
// The package reads (XY..XY) pairs under XYDATA and PEAK TABLE only; XYPOINTS holds the same
// shape, so it is given the package under the other name.
const parsed = convert(readFileSync(path, 'latin1').replace('##XYPOINTS=', '##PEAK TABLE='));
const s = parsed.flatten[Number(block)].spectra[Number(spectrum)].data;
console.log(JSON.stringify({ x: Array.from(s.x), y: Array.from(s.y) }));
"""


def read_reference(path, block=0, spectrum=0):
    out = subprocess.run(["node", "--input-type=module", "-e", READER, prefix, path, str(block), str(spectrum)],
                         check=True, capture_output=True, text=True).stdout
    data = json.loads(out)
    return data["x"], data["y"]


status = 0
with tempfile.TemporaryDirectory() as work:
    for name, suffix, column, block, spectrum in [(n, *r) for n in make_files(work) for r in READS.get(n, [("", 1, 0, 0)])]:
        path = os.path.join(work, name)
        try:
            x, y = read_lumatix(path + suffix, column)
        except subprocess.CalledProcessError as e:
            print(f"{name}: lumatix refused it: {e.stderr.strip()}")
            status = 1
            continue
        rx, ry = read_reference(path, block, spectrum)
        name = f"{name}{suffix} trace {column}"
        problem = None
        if len(x) != len(rx):
            problem = f"{len(x)} points, the reference reads {len(rx)}"
        else:
            for i, (a, b, c, d) in enumerate(zip(x, rx, y, ry)):
                # lumatix prints 6 significant digits of float values.
                if abs(a - b) > 1e-5 * max(1, abs(b)) or abs(c - d) > 1e-5 * max(1, abs(d)):
                    problem = f"point {i}: ({a}, {c}), the reference reads ({b}, {d})"
                    break
        print(f"{name}: {problem or f'{len(x)} points agree'}")
        if problem:
            status = 1
sys.exit(status)
