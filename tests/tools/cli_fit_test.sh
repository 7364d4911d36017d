#!/usr/bin/env bash
# 'lumatix fit' end to end on the bundled examples: fitted values, the history lines, the
# JSON form, the output file, messages and exit status.
set -u
lumatix="$1"
examples="$2"
source "$(dirname "$0")/cli_checks.sh"
stopped="$examples/stopped_flow_absorbance.dsx"
polarisation="$examples/fluorescence_polarisation.dsx"




# json NAME PYTHON-EXPRESSION: the expression, over the parsed JSON output r, must be true.
json() {
  /usr/bin/python3 -c "import json,sys; r=json.load(open(sys.argv[1])); sys.exit(0 if ($2) else 1)" "$work/out" ||
    { fail "$1: not ($2) in"; cat "$work/out"; }
}

# The stopped-flow example is a single exponential with k = 12.5 per second.
for trace in 1 2 3; do
  check "stopped flow $trace" 0 "$lumatix" fit "$stopped" --model "Single Exponential" --trace "$trace" --json
  json "stopped flow $trace" "r['function']['index'] == 1 and abs(r['parameters'][2]['value'] - 12.5) < 0.25"
  json "stopped flow $trace converged" "r['converged'] and 1 < r['iterations'] < 25"
  json "stopped flow $trace errors" "all(0 < p['error'] < 0.1 for p in r['parameters'])"
  json "stopped flow $trace statistics" "abs(r['reduced_chi_square'] - 1) < 1e-6 and abs(r['signal_noise']**2 - r['normalised_variance']) < 1e-12"
  [ -s "$work/err" ] && fail "stopped flow $trace: messages on a converged fit: $(cat "$work/err")"
done

# The polarisation example rises with rate 0.35.
check polarisation 0 "$lumatix" fit "$polarisation" --model 6 --json
json polarisation "r['function']['name'] == 'Inverted Exponential' and abs(r['parameters'][2]['value'] - 0.35) < 0.01"
json "polarisation range" "r['range'] == {'from': 0.04, 'to': 20.0}"

# Without --json: the lines of the "Fitting" history entry.
check "history lines" 0 "$lumatix" fit "$stopped" --model 1 --trace 2
contains "history lines" "$work/out" "Original line : 2"
contains "history lines" "$work/out" "a.exp(-kx)+cSingle Exponential"
contains "history lines" "$work/out" "Fit range from: 0.001000 to 2.000000"
contains "history lines" "$work/out" "Reduced chi-squared = 1.000000"
contains "history lines" "$work/out" "Fitted line : Fit (f)::0"
grep -q $'\r' "$work/out" && fail "history lines: carriage returns on a terminal"
grep -qE '^k = 12\.[45][0-9]{5} \+/- 0\.[0-9]{6}$' "$work/out" || { fail "history lines: no k line"; cat "$work/out"; }

# A range, start values and a lock.
check "locked" 0 "$lumatix" fit "$stopped" --model 1 --trace 1 --range 0.01 1 --start 0.2,0.2,11 --lock k --json
json "locked" "r['parameters'][2] == {'name': 'k', 'value': 11.0, 'error': 0.0, 'locked': True}"
json "locked range" "abs(r['range']['from'] - 0.01) < 1e-9 and r['range']['to'] == 1.0"
json "locked fitted" "not r['parameters'][0]['locked'] and r['parameters'][0]['value'] != 0.2"

# The output file: the plot with the fitted and residual traces and the history entry.
check "out" 0 "$lumatix" fit "$stopped" --model 1 --trace 3 --range 0.5 2 --out "$work/fit.dsx" --residuals
check "out traces" 0 "$lumatix" traces "$work/fit.dsx"
contains "out traces" "$work/out" $'x\t1\t2\t3\tFit (f):0\tFit (r):0'
/usr/bin/python3 - "$work/out" <<'PY' || fail "out traces: residuals not 0 outside the range or fit not near the data"
import sys
rows = [l.rstrip('\n').split('\t') for l in open(sys.argv[1]) if l[0].isdigit()]
ok = True
for r in rows:
    x, y, fit, res = float(r[0]), float(r[3]), float(r[4]), float(r[5])
    if x < 0.5 and res != 0.0: ok = False
    if x >= 0.5 and abs(res - (y - fit)) > 1e-5: ok = False
    if x >= 0.5 and abs(y - fit) > 0.02: ok = False
sys.exit(0 if ok and len(rows) == 1000 else 1)
PY
check "out history" 0 "$lumatix" history "$work/fit.dsx"
contains "out history" "$work/out" "Original line : 3"
contains "out history" "$work/out" "Residual : Fit (r)::0"
check "out info" 0 "$lumatix" info "$work/fit.dsx"
contains "out info" "$work/out" "Data has been modified:"
contains "out info" "$work/out" "  Fitting"

# The iteration limit: the warning, the values all the same, status 0.
check "one iteration" 0 "$lumatix" fit "$stopped" --model 1 --trace 1 --max-iter 1 --json
contains "one iteration" "$work/err" "The fitting process may not have converged properly."
json "one iteration" "not r['converged'] and r['iterations'] == 1"

# The estimate's reasoning and the solver's notes only with --verbose.
check "quiet notes" 0 "$lumatix" fit "$polarisation" --model 3
# (A second phase that the trace does not hold need not converge in 25 iterations: the
# warning may be there, the estimate's notes may not.)
grep -q "Guessing\|par\[" "$work/err" && fail "quiet notes: $(cat "$work/err")"
check "verbose notes" 0 "$lumatix" --verbose fit "$polarisation" --model 3
contains "verbose notes" "$work/err" "Guessing that second rate should be negated"

# Refusals, with the viewer's own messages.
check "which trace" 1 "$lumatix" fit "$stopped" --model 1
contains "which trace" "$work/err" "Please select a trace first."
[ -s "$work/out" ] && fail "which trace: output on a refusal"
check "small range" 1 "$lumatix" fit "$polarisation" --model 1 --range 3 3.01
contains "small range" "$work/err" "Please select a suitable range"
# With no amplitude the rate has no derivative at the start: the fit goes on from the
# minimum-norm step instead of failing, and reports why it ended.
check "singular" 0 "$lumatix" fit "$polarisation" --model 1 --start 0.05,0,1 --json
grep -q "floating point" "$work/err" && fail "singular: the floating-point failure on a rank-deficient start"
json "singular reason" "r['converged'] == (r['reason'].startswith('The fit converged'))"
check "start count" 1 "$lumatix" fit "$polarisation" --model 1 --start 1,2
contains "start count" "$work/err" "--start needs 3 values for Single Exponential (c,a,k), not 2."
check "lock name" 1 "$lumatix" fit "$polarisation" --model 1 --lock q
contains "lock name" "$work/err" "has no parameter \"q\""
check "unknown model" 1 "$lumatix" fit "$polarisation" --model "Quintuple Exponential"
contains "unknown model" "$work/err" "There is no fitting function \"Quintuple Exponential\""
check "no such trace" 1 "$lumatix" fit "$stopped" --model 1 --trace 4
check "max-iter 0" 2 "$lumatix" fit "$polarisation" --model 1 --max-iter 0
check "max-iter 1001" 2 "$lumatix" fit "$polarisation" --model 1 --max-iter 1001
check "residuals without out" 2 "$lumatix" fit "$polarisation" --model 1 --residuals
check "no model" 2 "$lumatix" fit "$polarisation"
check "unwritable" 1 "$lumatix" fit "$polarisation" --model 6 --out /nonexistent/fit.dsx
contains "unwritable" "$work/err" "Can't open /nonexistent/fit.dsx for writing."

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "cli fit: all checks passed"
