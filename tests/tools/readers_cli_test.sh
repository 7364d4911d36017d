#!/usr/bin/env bash
# Other programs' files through the lumatix command: the JCAMP-DX export read back with its
# names and values, a compound file's stores as FILE#k, Cary files and the setting they
# need, and the reasons of refusals on standard error.
set -u
lumatix="$1"
examples="$2"
source "$(dirname "$0")/cli_checks.sh"

# The export of the thermal melt reads back with its dimension and property names and values.
melt="$examples/cd_thermal_melt.dsx"
check "export melt" 0 "$lumatix" convert "$melt" "$work/melt.jdx"
check "read melt back" 0 "$lumatix" info "$work/melt.jdx"
contains "read melt back" "$work/out" "  Wavelength	161 points	260 .. 180"
contains "read melt back" "$work/out" "  Temperature	5 points	20 .. 80"
contains "read melt back" "$work/out" "  CircularDichroism"
contains "read melt back" "$work/out" "  HV"
"$lumatix" traces "$melt" --x Wavelength --traces Temperature | grep -v '^#' >"$work/a"
"$lumatix" traces "$work/melt.jdx" --x Wavelength --traces Temperature | grep -v '^#' >"$work/b"
/usr/bin/python3 - "$work/a" "$work/b" <<'PY' || fail "melt values: the JCAMP-DX file reads back other values"
import sys
a, b = ([line.split("\t") for line in open(p)] for p in sys.argv[1:])
assert len(a) == len(b) and a[0] == b[0], (len(a), len(b), a[0], b[0])
for ra, rb in zip(a[1:], b[1:]):
    for x, y in zip(ra, rb):
        # The export writes integers of a power of ten chosen per trace.
        assert abs(float(x) - float(y)) <= 1e-4 * max(1.0, abs(float(x))), (ra, rb)
PY

# A compound file: the spectra over one x in the first store, the other as FILE#2.
cat >"$work/link.jdx" <<'JDX'
##TITLE= linked
##DATA TYPE= LINK
##TITLE= A
##XUNITS= NANOMETERS
##YUNITS= ABSORBANCE
##XYPOINTS= (XY..XY)
300 1; 301 2; 302 3
##END=
##TITLE= B
##XUNITS= NANOMETERS
##YUNITS= ABSORBANCE
##XYPOINTS= (XY..XY)
300 4; 301 5; 302 6
##END=
##TITLE= C
##XUNITS= SECONDS
##YUNITS= ABSORBANCE
##XYPOINTS= (XY..XY)
0 7; 1 8
##END=
##END=
JDX
check "link" 0 "$lumatix" traces "$work/link.jdx"
contains "link" "$work/out" "x	A	B"
contains "link" "$work/out" "302	3	6"
check "link#2" 0 "$lumatix" traces "$work/link.jdx#2"
contains "link#2" "$work/out" "# x: Time (s)"
contains "link#2" "$work/out" "1	8"
check "link info" 0 "$lumatix" info "$work/link.jdx"
contains "link info" "$work/out" "Set 1 of 2 in this file (its spectra differ in x); open \"$work/link.jdx#1\" to \"$work/link.jdx#2\" for each."
check "link#3" 1 "$lumatix" info "$work/link.jdx#3"
contains "link#3" "$work/err" "The file holds 2 sets of spectra; there is no set 3."

# A Cary file needs the setting, and says so; with it each sample is a named trace.
printf 'Buffer,,Protein,,\r\nWavelength (nm),Abs,Wavelength (nm),Abs,\r\n280,0.01,280,0.9,\r\n279,0.02,279,0.8,\r\n,,,,\r\n\r\nMethod\r\n' >"$work/scan.csv"
check "cary refused" 1 "$lumatix" info "$work/scan.csv"
contains "cary refused" "$work/err" "It looks like a Cary export"
contains "cary refused" "$work/err" "--allow-cary"
check "cary allowed" 0 "$lumatix" traces --allow-cary "$work/scan.csv"
contains "cary allowed" "$work/out" "x	Buffer	Protein"
contains "cary allowed" "$work/out" "279	0.02	0.8"

# Reasons name the format, what is wrong and the line.
printf '##TITLE= t\n##JCAMP-DX= 5.01\n##XUNITS= NANOMETERS\n' >"$work/nodata.jdx"
check "jcamp no data" 1 "$lumatix" info "$work/nodata.jdx"
contains "jcamp no data" "$work/err" "JCAMP-DX file: no XYDATA, XYPOINTS or PEAK TABLE block."
printf '##TITLE= t\n##NPOINTS= 3\n##XYPOINTS= (XY..XY)\n1 2\n3 4\n##END=\n' >"$work/count.jdx"
check "jcamp count" 1 "$lumatix" info "$work/count.jdx"
contains "jcamp count" "$work/err" "JCAMP-DX file: line 4: the data hold 2 values where ##NPOINTS announces 3."
printf 'TITLE\tscan\nXUNITS\tNANOMETERS\nXYDATA\n250\t1\t2\n249\t3\n' >"$work/export.txt"
check "text export row" 1 "$lumatix" info "$work/export.txt"
contains "text export row" "$work/err" "Spectrometer text export: line 5: 2 values where 3 were expected."
printf 'time;signal\n0;1\n1;2\n2;3\n3;4;5\n' >"$work/columns.txt"
check "columns row" 1 "$lumatix" info "$work/columns.txt"
contains "columns row" "$work/err" "Columns of numbers: line 5: 3 values where 2 were expected."
printf 'time;signal\n0;1,5\n1;2,5\n2;3,5\n' >"$work/columns.txt"
check "columns" 0 "$lumatix" traces "$work/columns.txt"
contains "columns" "$work/out" "# x: Time (s)"
contains "columns" "$work/out" "2	3.5"

echo "$failures failed"
[ "$failures" -eq 0 ]
