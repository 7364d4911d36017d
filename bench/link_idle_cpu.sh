#!/usr/bin/env bash
# The CPU an on-line viewer takes while nothing arrives (goal: under 1% of one core), in two
# states: waiting for an acquisition to begin, and with an acquisition's window open whose data
# stopped coming. The viewer runs offscreen against lumatix-control-panel on the loopback.
# Usage: bench/link_idle_cpu.sh BUILD_DIR [SECONDS]   (a release build: cmake --preset release)
set -u
build="$1"
seconds="${2:-10}"
viewer="$build/tools/lumatix-viewer/lumatix-viewer"
panel="$build/tools/lumatix-control-panel/lumatix-control-panel"
examples="$(cd "$(dirname "$0")/../examples" && pwd)"
work="$(mktemp -d)"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/data" "$work/cfg/Corvane Ltd"
chmod 700 "$work/run"
hz="$(getconf CLK_TCK)"

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

measure() {  # measure LABEL PANEL_ARGS...
  local label="$1"
  shift
  XDG_RUNTIME_DIR="$work/run" "$panel" --listen 127.0.0.1:0 "$@" >"$work/panel.out" 2>&1 &
  local panel_pid=$!
  pids+=("$panel_pid")
  local port=""
  for _ in $(seq 100); do
    port="$(sed -n 's/^listening on //p' "$work/panel.out")"
    [ -n "$port" ] && break
    sleep 0.05
  done
  [ -n "$port" ] || { echo "$label: the control panel did not start"; return 1; }
  printf '[Preferences]\nControlPanelPort=%s\nWorking%%20Directory=%s\n' "$port" "$work/data" \
    >"$work/cfg/Corvane Ltd/Lumatix Viewer.conf"
  XDG_CONFIG_HOME="$work/cfg" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen \
    LUMATIX_SCREENSHOTS="$work/shots" LUMATIX_SCREENSHOT_DELAY_MS=$(((seconds + 5) * 1000)) \
    "$viewer" -OnLine -mi >/dev/null 2>&1 &
  local viewer_pid=$!
  pids+=("$viewer_pid")
  sleep 3  # start-up, and the acquisition's header and first block
  local before after
  before="$(ticks "$viewer_pid")"
  sleep "$seconds"
  after="$(ticks "$viewer_pid")"
  awk -v label="$label" -v t="$((after - before))" -v hz="$hz" -v s="$seconds" \
    'BEGIN { printf "%s: %.2f%% of one core over %d s\n", label, 100 * t / hz / s, s }'
  kill "$viewer_pid" "$panel_pid" 2>/dev/null
  wait "$viewer_pid" "$panel_pid" 2>/dev/null
  rm -f "$work/data"/*
}

measure "on-line, waiting for an acquisition" --user bench
measure "on-line, an acquisition whose data stopped" --play "$examples/stopped_flow_absorbance.dsx" \
  --records-per-block 100 --block-interval-ms 3600000
