#!/usr/bin/env bash
# The processing commands end to end on the bundled examples: the traces they add, the
# history they record, the derived attributes of what they write, and their refusals.
set -u
lumatix="$1"
examples="$2"
source "$(dirname "$0")/cli_checks.sh"
melt="$examples/cd_thermal_melt.dsx"
flow="$examples/stopped_flow_absorbance.dsx"
single="$examples/fluorescence_polarisation.dsx"



names() {  # the trace-name line of a file's table
  "$lumatix" traces "$1" | sed -n 5p
}

# Each command, then what the written file reads back as.
check baseline 0 "$lumatix" baseline "$melt" "$work/b.dsx" --baseline 1 --subtract --select 2,3
[ "$(names "$work/b.dsx")" = "$(printf 'x\t20\t35\t50\t65\t80\tSubtracted:0\tSubtracted:1')" ] ||
  { echo "FAIL baseline names: $(names "$work/b.dsx")"; failures=$((failures + 1)); }
"$lumatix" history "$work/b.dsx" >"$work/h"
contains "baseline history" "$work/h" "Baseline set : 20 "
contains "baseline history" "$work/h" 'Baseline subtracted from :\..50'
contains "baseline history" "$work/h" 'New line :\..Subtracted::1'
"$lumatix" info "$work/b.dsx" >"$work/i"
contains "baseline derived" "$work/i" "- Data has been modified:"
contains "baseline derived" "$work/i" "- Parent File Name : $melt"

check "add baseline" 0 "$lumatix" baseline "$flow" "$work/ab.dsx" --baseline 3 --add
contains "add baseline" <("$lumatix" traces "$work/ab.dsx" | sed -n 5p) "Added:1"

check average 0 "$lumatix" average "$flow" "$work/a.dsx"
contains average <(names "$work/a.dsx") "Average:0"
"$lumatix" history "$work/a.dsx" >"$work/h"
contains "average history" "$work/h" "Averaged Traces : "

check "math minus" 0 "$lumatix" math "$single" "$work/m.dsx" --op - --value 3
contains "math minus" <(names "$work/m.dsx") "Add:0"
"$lumatix" history "$work/m.dsx" >"$work/h"
contains "math minus" "$work/h" "constant :-3 added to :"
check "math divide" 0 "$lumatix" math "$single" "$work/d.dsx" --op / --value 1.2e-07
contains "math divide" <(names "$work/d.dsx") "Multiply:0"

check smooth 0 "$lumatix" smooth "$melt" "$work/s.dsx" --window 4 --residuals --select 1
contains smooth <(names "$work/s.dsx") "$(printf 'Smooth (s):0\tSmooth (r):0')"
"$lumatix" history "$work/s.dsx" >"$work/h"
contains "smooth history" "$work/h" "Window Size    :4"
contains "smooth history" "$work/h" 'Residual Trace :\..Smooth (r)::0'

check "smooth to csv" 0 "$lumatix" smooth "$melt" "$work/s.csv" --window 2 --replace --select 2
contains "smooth to csv" "$work/s.csv" "LumatixCSV"

check "cd units" 0 "$lumatix" cd-units "$melt" "$work/c.dsx" --to me --molar 1e-4 --path 0.1 --select 1
"$lumatix" traces "$work/c.dsx" >"$work/t"
contains "cd units" "$work/t" "# y: Molar Ellipticity"
contains "cd units" <("$lumatix" info "$work/c.dsx") "- Data has been modified:"
contains "cd units" <("$lumatix" history "$work/c.dsx") "Converted to :"'\..'"molar ellipticity"
# Factor 1e4: the first value of trace 20 is 1e4 times the millidegrees.
mdeg=$("$lumatix" traces "$melt" | sed -n 6p | cut -f2)
me=$(sed -n 6p "$work/t" | cut -f2)
awk -v a="$mdeg" -v b="$me" 'BEGIN { d = b - a * 1e4; if (d < 0) d = -d; exit !(d <= 1e-3 * (b < 0 ? -b : b)) }' ||
  { echo "FAIL cd units factor: $mdeg mdeg became $me"; failures=$((failures + 1)); }

# Refusals: the viewer's messages, status 1; wrong usage, status 2.
check "average one" 1 "$lumatix" average "$flow" "$work/x.dsx" --select 2
contains "average one" "$work/err" "Please select at lest two traces first"
check "divide by tiny" 1 "$lumatix" math "$single" "$work/x.dsx" --op / --value 1e-08
contains "divide by tiny" "$work/err" "Cannot divide by zero. Please select a non-zero value to divide by."
check "path too short" 1 "$lumatix" cd-units "$melt" "$work/x.dsx" --to me --molar 1e-4 --path 0.0009
contains "path too short" "$work/err" "Sorry! The path lenth must be at least 0.001 cm."
check "converted twice" 1 "$lumatix" cd-units "$work/c.dsx" "$work/x.dsx" --to mdeg
contains "converted twice" "$work/err" "Sorry! Cannot convert CD units from Molar Ellipticity."
check "not cd" 1 "$lumatix" cd-units "$flow" "$work/x.dsx" --to me
check "no such trace" 1 "$lumatix" average "$flow" "$work/x.dsx" --select 2-7
[ -e "$work/x.dsx" ] && { echo "FAIL: a refused command wrote its output"; failures=$((failures + 1)); }
check "unwritable" 1 "$lumatix" average "$flow" "/nonexistent/out.dsx"
contains "unwritable" "$work/err" "An error occurred while trying to save the data in the chosen format."
check "replace and residuals" 2 "$lumatix" smooth "$melt" "$work/x.dsx" --window 4 --residuals --replace
check "window beyond the spin range" 2 "$lumatix" smooth "$melt" "$work/x.dsx" --window 1001
# The core's own names stay out of what a person reads.
printf 'LumatixStore\npoint\nRemarks:\n0\n0\nProperties:\n1\nCount\nDimensions:\n1\nCell\n1\n1\n\n0\nHistory:\n0\n 0\n' >"$work/one.dsa"
check "one point" 1 "$lumatix" smooth "$work/one.dsa" "$work/x.dsx" --window 3
contains "one point" "$work/err" "The traces could not be smoothed: they have too few points for the smoothing window."
grep -q "SmoothSG" "$work/err" && { echo "FAIL one point: internal name shown"; failures=$((failures + 1)); }
# Empty or negative values are refused, not read as the option left out.
check "empty selection" 2 "$lumatix" average "$flow" "$work/x.dsx" --select ""
check "empty format" 2 "$lumatix" average "$flow" "$work/x.dsx" --format ""
check "negative option row" 2 "$lumatix" average "$flow" "$work/x.dsx" --option -1
check "yes and no" 2 "$lumatix" average "$flow" "$work/x.dsx" --yes --no
check "bad list" 2 "$lumatix" average "$flow" "$work/x.dsx" --select 1,a

# Numbers that are not finite or out of range are usage errors; results that cannot be
# stored are refused naming the operation; neither writes anything.
for args in "math --op x --value 1e300" "math --op x --value nan" "math --op + --value inf" \
            "cd-units --to me --molar 1e300 --path 0.1" "cd-units --to me --molar 0.1 --path nan" \
            "cd-units --to mre --conc 0.2 --path 0.1 --mrw -1" "cd-units --to me --molar 0.1 --path 0.1 --residues -2"; do
  rm -f "$work/nf.dsx"
  check "$args" 2 "$lumatix" ${args%% *} "$melt" "$work/nf.dsx" ${args#* }
  [ -e "$work/nf.dsx" ] && fail "$args: a file was written"
done
check "math overflow" 1 "$lumatix" math "$melt" "$work/nf.dsx" --op x --value 1e38
contains "math overflow" "$work/err" "Factor Multiplication with 1e+38 gives values too large to store"
[ -e "$work/nf.dsx" ] && fail "math overflow: a file was written"

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "processing cli: all checks passed"
