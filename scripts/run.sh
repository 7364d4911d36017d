#!/usr/bin/env bash
# Installs what is needed, builds the optimised programs and opens the bundled examples in the
# viewer: the main frame and a plot window per example. Without a display the same windows
# run offscreen and a picture of each is saved under build/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
for f in examples/*.dsx examples/*.dsa; do
  echo "== $f"
  build/release/tools/lumatix/lumatix info "$f"
done

viewer=build/release/tools/lumatix-viewer/lumatix-viewer
examples=(examples/*.dsx examples/*.dsa)

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  shots="$PWD/build/screenshots"
  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the viewer offscreen;"
  echo "a picture of each window goes to build/screenshots/."
  mkdir -p "$shots"
  export QT_QPA_PLATFORM=offscreen LUMATIX_SCREENSHOTS="$shots"
  export LUMATIX_SCREENSHOT_DELAY_MS=$((3000 + 500 * ${#examples[@]}))
  # A session of its own, so that the examples go to this viewer and to no other.
  XDG_RUNTIME_DIR="$(mktemp -d)"
  export XDG_RUNTIME_DIR
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi

# The first start runs the viewer; each later one hands its example to it and ends.
"$viewer" "${examples[0]}" &
running=$!
socket="${XDG_RUNTIME_DIR:-/tmp/lumatix-$(id -u)}/Lumatix Viewer"
for _ in $(seq 100); do
  [[ -S "$socket" ]] && break
  kill -0 "$running" 2>/dev/null || break
  sleep 0.1
done
for f in "${examples[@]:1}"; do
  "$viewer" "$f"
done
wait "$running"
