#!/usr/bin/env bash
# Installs what is needed, builds the optimised program and opens the bundled examples.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
for f in examples/*.dsx examples/*.dsa; do
  echo "== $f"
  build/release/tools/lumatix/lumatix info "$f"
done
