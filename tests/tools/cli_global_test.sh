#!/usr/bin/env bash
# 'lumatix fit --global' and 'lumatix svd' end to end on the bundled examples: the fitted
# values, the JSON shape, the output files, and refusals that leave no output behind.
set -u
lumatix="$1"
examples="$2"
source "$(dirname "$0")/cli_checks.sh"
melt="$examples/cd_two_state_melt.dsx"
stopped="$examples/stopped_flow_absorbance.dsx"

json() {  # json NAME PYTHON-EXPRESSION over the parsed output r
  /usr/bin/python3 -c "import json,sys; r=json.load(open(sys.argv[1])); sys.exit(0 if ($2) else 1)" "$work/out" ||
    { fail "$1: not ($2) in"; cat "$work/out"; }
}

# The melt was made with Tm = 58 C and dH = 250 kJ/mol: both back within three errors.
check "melt" 0 "$lumatix" fit "$melt" --global --model "Two-state unfolding" --share Tm,dH --json
json "melt shape" "list(r) == ['function', 'shared', 'traces', 'reduced_chi_square', 'iterations', 'converged', 'reason']"
json "melt shared" "[s['name'] for s in r['shared']] == ['Tm', 'dH'] and list(r['shared'][0]) == ['name', 'value', 'error']"
json "melt Tm" "abs(r['shared'][0]['value'] - 58) < 3 * r['shared'][0]['error']"
json "melt dH" "abs(r['shared'][1]['value'] - 250000) < 3 * r['shared'][1]['error']"
json "melt traces" "len(r['traces']) == 71 and r['traces'][0]['trace'] == '260'"
json "melt local" "[p['name'] for p in r['traces'][5]['parameters']] == ['aF', 'bF', 'aU', 'bU']"
json "melt converged" "r['converged'] and r['iterations'] <= 25 and r['reason'].startswith('The fit converged')"
[ -s "$work/err" ] && fail "melt: messages on a converged fit: $(cat "$work/err")"

# The index works as the name does; locks by name; the plot with the new traces written out.
check "out" 0 "$lumatix" fit "$melt" --global --model 19 --share Tm,dH --select 1,39-40 --lock bF \
  --out "$work/fit.dsx" --residuals
contains "out" "$work/out" "Shared parameters : Tm,dH"
[ "$(grep -cE '^bF = -?[0-9.]+ \+/- 0\.000000' "$work/out")" = 3 ] || fail "out: bF not held at its estimate"
contains "out" "$work/out" "New trace : Fraction folded::shared"
check "out traces" 0 "$lumatix" traces "$work/fit.dsx"
contains "out traces" "$work/out" $'Fit (f):2\tFit (r):2\tFraction folded::shared'
check "out history" 0 "$lumatix" history "$work/fit.dsx"
contains "out history" "$work/out" "Original line : 222"

# Refusals: the message, status 1, no output file.
refused() {  # refused NAME MESSAGE ARGS...
  local name="$1" message="$2"
  shift 2
  rm -f "$work/refused.dsx"
  check "$name" 1 "$lumatix" fit "$@" --out "$work/refused.dsx"
  contains "$name" "$work/err" "$message"
  [ -e "$work/refused.dsx" ] && fail "$name: an output file on a refusal"
}
refused "one trace" "A global fit needs at least two selected traces." "$melt" --global --model 19 --select 4
refused "named twice" "The parameter \"Tm\" is named twice." "$melt" --global --model 19 --share Tm,Tm
refused "unknown" "has no parameter \"Tq\" (its parameters: aF,bF,aU,bU,Tm,dH)" "$melt" --global --model 19 --share Tq
refused "no such trace" "There is no trace 80: the plot has 71 traces." "$melt" --global --model 19 --select 80
refused "single trace file" "A global fit needs at least two selected traces." "$stopped" --global --model 1 --select 2
check "trace and global" 2 "$lumatix" fit "$melt" --global --model 19 --trace 2
check "share alone" 2 "$lumatix" fit "$melt" --model 19 --share Tm

# SVD of the melt: two species, so two singular values stand out.
check "svd" 0 "$lumatix" svd "$melt" "$work/svd" --components 2
/usr/bin/python3 - "$work/out" <<'PY' || fail "svd: not two dominant singular values, largest first"
import sys
s = [float(v) for v in open(sys.argv[1])]
sys.exit(0 if len(s) == 36 and s == sorted(s, reverse=True) and s[1] > 20 * s[2] else 1)
PY
for part in values basis amplitudes rebuilt; do
  [ -s "$work/svd_$part.dsx" ] || fail "svd: no $part file"
done
check "svd history" 0 "$lumatix" history "$work/svd_rebuilt.dsx"
contains "svd history" "$work/out" "Components : 2"
check "svd rank" 1 "$lumatix" svd "$melt" "$work/big" --components 37
contains "svd rank" "$work/err" "The number of components must be between 1 and the rank of the traces (36)"
ls "$work"/big_* >/dev/null 2>&1 && fail "svd rank: files written on a refusal"

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "cli global fit and svd: all checks passed"
