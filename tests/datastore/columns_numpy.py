#!/usr/bin/python3
"""Writes column files in every shape the columns reader takes (tabs, commas, semicolons with
decimal commas, blanks, a header row, metadata lines before and after the numbers, the
spectrometers' text export), reads each with `lumatix traces` and with numpy.loadtxt, and
compares the values.

    columns_numpy.py LUMATIX

Exits 77 (skipped) when numpy is missing."""
import os
import subprocess
import sys
import tempfile

try:
    import numpy as np
except ImportError:
    print("skipped: numpy is not installed for /usr/bin/python3")
    sys.exit(77)

lumatix = sys.argv[1]
rng = np.random.default_rng(5)


def table(rows, columns):
    x = np.round(np.linspace(190.0, 260.0, rows), 3)
    y = np.round(rng.normal(scale=20.0, size=(rows, columns - 1)), 5)
    return np.column_stack([x, y])


def text_rows(values, sep, decimal_comma=False, pad=""):
    lines = []
    for row in values:
        cells = [f"{v:.6g}" for v in row]
        if decimal_comma:
            cells = [c.replace(".", ",") for c in cells]
        lines.append(sep.join(cells) + pad)
    return lines


def cases():
    """(name, file text, numpy.loadtxt keyword arguments, lines of text before the numbers)"""
    comma = {"converters": lambda s: float(s.replace(b",", b".") if isinstance(s, bytes) else s.replace(",", "."))}
    t = table(40, 3)
    yield "tabs_header", "\n".join(["Wavelength (nm)\tSample A\tSample B"] + text_rows(t, "\t")) + "\n", \
        {"delimiter": "\t", "skiprows": 1}, t
    t = table(25, 2)
    yield "commas_padded", "\r\n".join(text_rows(t, ",", pad=",,")) + "\r\n", \
        {"delimiter": ",", "usecols": (0, 1)}, t
    t = table(30, 4)
    yield "semicolons_decimal_commas", "\n".join(["x;a;b;c"] + text_rows(t, ";", True)) + "\n", \
        {"delimiter": ";", "skiprows": 1, **comma}, t
    t = table(50, 2)
    meta = ["Data from probe.txt Node", "", "Integration Time (sec): 0.1", ">>>>>Begin Spectral Data<<<<<"]
    yield "metadata_block", "\n".join(meta + text_rows(t, "\t") + [">>>>>End Spectral Data<<<<<"]) + "\n", \
        {"delimiter": "\t", "skiprows": 4, "max_rows": 50}, t
    t = table(20, 3)
    yield "blanks_comment_header", "\n".join(["# t  a  b"] + ["   " + r for r in text_rows(t, "   ")]) + "\n", \
        {}, t
    t = table(15, 3)
    header = ["TITLE\tsample", "DATA TYPE\t", "XUNITS\tNANOMETERS", "YUNITS\tCD [mdeg]", "Y2UNITS\tHT [V]",
              f"NPOINTS\t{len(t)}", "XYDATA"]
    yield "spectrometer_export", "\n".join(header + text_rows(t, "\t", True) + ["", "##### Extended Information"]) \
        + "\n", {"delimiter": "\t", "skiprows": 7, "max_rows": 15, **comma}, t


def read_lumatix(path):
    """Every trace of the store (the channels of the spectrometer export are properties, so
    that file is read property by property through traces of its one trace)."""
    out = subprocess.run([lumatix, "traces", path], check=True, capture_output=True, text=True).stdout
    rows = [line.split("\t") for line in out.splitlines() if line and not line.startswith("#")][1:]
    return np.array([[float(c) for c in r if c != ""] for r in rows])


status = 0
with tempfile.TemporaryDirectory() as work:
    for name, text, kwargs, expected in cases():
        path = os.path.join(work, name + ".txt")
        with open(path, "w") as f:
            f.write(text)
        reference = np.loadtxt(path, dtype=np.float64, ndmin=2, **kwargs)
        try:
            got = read_lumatix(path)
        except subprocess.CalledProcessError as e:
            print(f"{name}: lumatix refused it: {e.stderr.strip()}")
            status = 1
            continue
        if name == "spectrometer_export":
            # The first channel is the property the table shows.
            reference = reference[:, :2]
        problem = None
        if got.shape != reference.shape:
            problem = f"shape {got.shape}, numpy reads {reference.shape}"
        elif not np.allclose(got, reference, rtol=1e-5, atol=1e-6):
            bad = np.argwhere(~np.isclose(got, reference, rtol=1e-5, atol=1e-6))[0]
            problem = f"row {bad[0]} column {bad[1]}: {got[tuple(bad)]}, numpy reads {reference[tuple(bad)]}"
        print(f"{name}: {problem or f'{reference.size} values agree'}")
        status |= problem is not None
sys.exit(status)
