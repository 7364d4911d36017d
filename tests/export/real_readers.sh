#!/bin/sh
# Reads our exports of every example with independent readers: numpy.loadtxt and Python's
# csv module (mode python), the jcampconverter npm package (mode jcamp). Exits 77 (skipped)
# when the reader is not installed.
#
#   real_readers.sh (python|jcamp) LUMATIX EXAMPLES [NODE_PREFIX]
set -eu
mode=$1 lumatix=$2 examples=$3 prefix=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
if ! [ -x "$python" ] || ! "$python" -c 'import numpy' 2>/dev/null; then
  echo "skipped: /usr/bin/python3 with numpy is not installed"; exit 77
fi
if [ "$mode" = jcamp ]; then
  if ! command -v node >/dev/null || ! [ -f "$prefix/node_modules/jcampconverter/package.json" ]; then
    echo "skipped: node or jcampconverter is not installed (scripts/install-deps.sh installs them)"; exit 77
  fi
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for f in "$examples"/*.dsx; do
  "$python" "$here/check_readers.py" "$lumatix" "$f" "$work" >"$work/python.log" || { cat "$work/python.log"; status=1; continue; }
  if [ "$mode" = python ]; then cat "$work/python.log"; continue; fi
  "$lumatix" convert "$f" "$work/out.jdx"
  node "$here/jcamp_reader_check.mjs" "$prefix" "$work/out.jdx" "$work/expected.json" || status=1
done
exit $status
