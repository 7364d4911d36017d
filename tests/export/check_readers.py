#!/usr/bin/python3
"""Reads the table exports of one store with numpy.loadtxt and the csv module and checks
every value against the store, which is taken from its LumatixStore (.dsa) form; writes the
values the JCAMP-DX blocks must hold to expected.json for jcamp_reader_check.mjs.

    check_readers.py LUMATIX INPUT WORKDIR
"""
import csv
import json
import subprocess
import sys

import numpy as np

lumatix, source, work = sys.argv[1:4]
failures = []


def convert(out, fmt=None):
    command = [lumatix, "convert", source, out] + (["--format", fmt] if fmt else [])
    subprocess.run(command, check=True, stderr=subprocess.DEVNULL)


def read_dsa(path):
    """The dimensions (name, values), properties and value block of a LumatixStore file."""
    lines = open(path, encoding="latin-1").read().split("\n")
    pos = lines.index("Properties:")
    properties = lines[pos + 2 : pos + 2 + int(lines[pos + 1])]
    pos = lines.index("Dimensions:", pos)
    dimensions = []
    pos += 2
    for _ in range(int(lines[pos - 1])):
        name, values = lines[pos], [float(v) for v in lines[pos + 2].split(",")]
        dimensions.append((name, np.array(values, dtype=np.float32)))
        pos += 4
    if lines[pos] == "Options:":
        pos += 2 + int(lines[pos + 1])
    end = lines.index("History:", pos)
    block = [float(v) for line in lines[pos:end] if line for v in line.split(",")]
    return dimensions, properties, np.array(block, dtype=np.float32)


def close(a, b):
    a, b = np.asarray(a, dtype=np.float64), np.asarray(b, dtype=np.float64)
    return a.shape == b.shape and np.allclose(a, b, rtol=1e-5, atol=1e-30)


def check(name, ok):
    if not ok:
        failures.append(name)


dsa = f"{work}/store.dsa"
convert(dsa)
dimensions, properties, block = read_dsa(dsa)
sizes = [len(v) for _, v in dimensions]
per_property = int(np.prod(sizes))
strides = [int(np.prod(sizes[:d])) for d in range(len(sizes))]
# Largest first, equal sizes in store order.
order = sorted(range(len(sizes)), key=lambda d: -sizes[d])


def value(p, index):  # index: {dimension: position}, the others at 0
    return block[p * per_property + sum(strides[d] * i for d, i in index.items())]


def first_word(text):
    return text.split(" ")[0]


# SimpleCSV with numpy.loadtxt.
simple = f"{work}/simple.csv"
convert(simple, "SimpleCSV")
loaded = np.loadtxt(simple, delimiter=",", dtype=np.float64, ndmin=2)
d0 = order[0]
if len(order) > 1 and sizes[order[1]] > 1:
    d1 = order[1]
    expected = np.array([[dimensions[d0][1][i]] + [value(0, {d0: i, d1: j}) for j in range(sizes[d1])]
                         for i in range(sizes[d0])])
else:
    expected = np.array([[dimensions[d0][1][i], value(p, {d0: i})]
                         for p in range(len(properties)) for i in range(sizes[d0])])
check(f"SimpleCSV shape {loaded.shape} != {expected.shape} or values", close(loaded, expected))

# LumatixCSV and LumatixTSV with the csv module.
for fmt, suffix, delimiter in (("LumatixCSV", "csv", ","), ("LumatixTSV", "txt", "\t")):
    path = f"{work}/table.{suffix}"
    convert(path, fmt)
    rows = list(csv.reader(open(path, newline="", encoding="latin-1"), delimiter=delimiter))
    check(f"{fmt} first line", rows[0] == [fmt])
    at = rows.index(["Data:"]) + 1
    written = [d for d in order[:3]]
    tables = 0
    for p, prop in enumerate(properties):
        while rows[at] != [first_word(prop)]:
            at += 1
        if len(written) == 1:
            check(f"{fmt} 1-D heading", rows[at - 1] == [first_word(dimensions[d0][0]), ""])
            body = np.array([[float(c) for c in r] for r in rows[at + 1 : at + 1 + sizes[d0]]])
            want = np.array([[dimensions[d0][1][i], value(p, {d0: i})] for i in range(sizes[d0])])
            check(f"{fmt} 1-D values of {prop}", close(body, want))
            tables += 1
            continue
        d1 = written[1]
        check(f"{fmt} table heading", rows[at + 1] == [first_word(dimensions[d0][0]), first_word(dimensions[d1][0])])
        header = rows[at + 2]
        check(f"{fmt} column coordinates", header[0] == "" and header[-1] == ""
              and close([float(c) for c in header[1:-1]], dimensions[d1][1]))
        body = np.array([[float(c) for c in r] for r in rows[at + 3 : at + 3 + sizes[d0]]])
        want = np.array([[dimensions[d0][1][i]] + [value(p, {d0: i, d1: j}) for j in range(sizes[d1])]
                         for i in range(sizes[d0])])
        check(f"{fmt} values of {prop}", close(body, want))
        tables += 1
        at += 3
    check(f"{fmt} one table per property", tables == len(properties))

# The JCAMP-DX blocks: one per trace position and property, x the larger dimension.
blocks = []
if len(sizes) == 1:
    for p in range(len(properties)):
        blocks.append({"x": dimensions[0][1].tolist(), "y": [float(value(p, {0: i})) for i in range(sizes[0])]})
elif len(sizes) == 2:
    x, t = (0, 1) if sizes[0] >= sizes[1] else (1, 0)
    for k in range(sizes[t]):
        for p in range(len(properties)):
            blocks.append({"x": dimensions[x][1].tolist(),
                           "y": [float(value(p, {x: i, t: k})) for i in range(sizes[x])]})
json.dump({"blocks": blocks, "properties": len(properties)}, open(f"{work}/expected.json", "w"))

if failures:
    print(f"{source}: " + "; ".join(failures))
    sys.exit(1)
print(f"{source}: SimpleCSV, LumatixCSV and LumatixTSV read back equal ({len(properties)} properties, sizes {sizes})")
