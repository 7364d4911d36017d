#!/usr/bin/env bash
# Interrupts real saves of the lumatix command with SIGINT, SIGTERM and SIGHUP once their
# temporary file exists: the temporary must go, the old file must stay whole, and the
# command must end by the signal. Then a temporary left by a killed save (SIGKILL cannot
# be caught) must be removed by the next save to the same file.
#   interrupted_save_test.sh LUMATIX EXAMPLES
lumatix="$1"
examples="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# About 50 MB of LumatixStore text: long enough to be caught in the middle of the save.
/usr/bin/python3 - "$examples/cd_thermal_melt.dsa" "$work/big.dsa" <<'PY'
import sys
d = open(sys.argv[1], 'rb').read()
n1, n2 = 2000, 2000
head = d[:d.index(b'Wavelength -en')]
options = d[d.index(b'Options:'):d.index(b'Time-per-point')]
history = d[d.index(b'History:'):]
row = (','.join('%g' % (0.001 * k) for k in range(n1)) + '\n').encode()
with open(sys.argv[2], 'wb') as f:
    f.write(head)
    f.write(b'Wavelength -en 1 -ex 1\n%d\n' % n1 + ','.join(str(260 - k * 0.01) for k in range(n1)).encode() + b'\n\n')
    f.write(b'Temperature -ramp 1\n%d\n' % n2 + ','.join(str(k) for k in range(n2)).encode() + b'\n\n')
    f.write(options + b'Time-per-point: 0.5s\n\n')
    for _ in range(2):
        f.write(row * n2)
        f.write(b'\n')
    f.write(history)
PY

# Waits (up to 20 s) until a temporary of the save exists; prints its name.
wait_for_temporary() {
  for _ in $(seq 2000); do
    found="$(find "$work/out" -name '*.lmxtmp-*' 2>/dev/null | head -1)"
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.01
  done
  return 1
}

mkdir "$work/out"
for signal in INT TERM HUP; do
  echo "old contents" >"$work/out/target.dsa"
  "$lumatix" convert "$work/big.dsa" "$work/out/target.dsa" &
  pid=$!
  if ! wait_for_temporary >/dev/null; then
    fail "$signal: the save never made its temporary"
    wait "$pid"
    continue
  fi
  kill -s "$signal" "$pid"
  wait "$pid"
  status=$?
  [ "$status" -gt 128 ] || fail "$signal: status $status, not ended by the signal (did the save finish first?)"
  left="$(find "$work/out" -name '*.lmxtmp-*')"
  [ -z "$left" ] || fail "$signal: temporary left behind: $left"
  [ "$(cat "$work/out/target.dsa")" = "old contents" ] || fail "$signal: the old file was changed"
done

# SIGKILL leaves the temporary; the next save to the same file removes it.
"$lumatix" convert "$work/big.dsa" "$work/out/killed.dsa" &
pid=$!
if wait_for_temporary >/dev/null; then
  kill -s KILL "$pid"
  wait "$pid"
  [ -n "$(find "$work/out" -name 'killed.dsa.lmxtmp-*')" ] || fail "KILL: no temporary to clean up (finished too soon?)"
  "$lumatix" convert "$examples/cd_thermal_melt.dsa" "$work/out/killed.dsa" || fail "save after KILL failed"
  left="$(find "$work/out" -name '*.lmxtmp-*')"
  [ -z "$left" ] || fail "KILL: stale temporary not removed by the next save: $left"
else
  fail "KILL: the save never made its temporary"
  wait "$pid"
fi

[ "$failures" -eq 0 ] && echo "interrupted saves: all checks passed"
exit $((failures > 0))
