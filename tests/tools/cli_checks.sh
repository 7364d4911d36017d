# Shared by the command-line test scripts: a scratch folder, and checks that count failures.
#   source "$(dirname "$0")/cli_checks.sh"    (after setting lumatix and examples)
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL $*"; failures=$((failures + 1)); }

check() {  # check NAME EXPECTED_STATUS COMMAND...: runs it with output in $work/out and $work/err
  local name="$1" expected="$2"
  shift 2
  "$@" >"$work/out" 2>"$work/err" </dev/null
  local status=$?
  if [ "$status" -ne "$expected" ]; then
    fail "$name: status $status, expected $expected"; cat "$work/err"
  fi
}

contains() {  # contains NAME FILE TEXT
  grep -qF -- "$3" "$2" || { fail "$1: no '$3' in"; cat "$2"; }
}
