#!/usr/bin/env bash
# Pictures of the viewer's windows for the README: runs the viewer offscreen on a working
# directory made from the bundled examples with the CD thermal melt open in a plot window,
# saves a picture of every window into build/screenshots/ (the viewer's LUMATIX_SCREENSHOTS
# mode, which adds the plot window in use: its menus open, the context menu, the legend and
# grid, a zoom rectangle and the print preview, and the fitting dialog before, during and after
# a fit) and copies the main frame's, a plot window's and the fitting dialog's to
# docs/screenshots/. Then an acquisition from lumatix-control-panel is pictured half-way in its
# on-line window (docs/screenshots/online-window.png).
# LUMATIX_SCREENSHOT_DIALOGS adds one picture of every dialog in build/screenshots/dialogs/.
#   scripts/screenshots.sh [BUILD_DIR]     (default build/dev)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/dev}"
viewer="$build/tools/lumatix-viewer/lumatix-viewer"
[[ -x "$viewer" ]] || { echo "no viewer at $viewer: build it first" >&2; exit 1; }

shots="$PWD/build/screenshots"
rm -rf "$shots"
mkdir -p "$shots" docs/screenshots
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT

# A working directory as a person would have it: a folder per kind of measurement.
data="$home/Documents/My Data"
mkdir -p "$data/CD" "$data/Stopped-flow"
cp examples/cd_*.ds? "$data/CD/"
cp examples/stopped_flow_absorbance.dsx examples/fluorescence_polarisation.dsx "$data/Stopped-flow/"
mkdir -p "$home/config/Corvane Ltd"
printf '[Preferences]\nWorking%%20Directory=%s\n' "$data" >"$home/config/Corvane Ltd/Lumatix Viewer.conf"

QT_QPA_PLATFORM=offscreen LUMATIX_SCREENSHOTS="$shots" XDG_CONFIG_HOME="$home/config" \
  LUMATIX_SCREENSHOT_DIALOGS="$data/CD/cd_thermal_melt.dsx:$data/CD/cd_temperature_ramp.dsx" \
  XDG_RUNTIME_DIR="$home" HOME="$home" "$viewer" -mi "$data/CD/cd_thermal_melt.dsx" 2>/dev/null |
  sed 's/^/picture: /'
# The fitting dialog is pictured over the first plot window; a stopped-flow shot is what it is
# made for, so its pictures come from a second run on that example.
QT_QPA_PLATFORM=offscreen LUMATIX_SCREENSHOTS="$shots/fit" XDG_CONFIG_HOME="$home/config" \
  XDG_RUNTIME_DIR="$home" HOME="$home" "$viewer" -mi "$data/Stopped-flow/stopped_flow_absorbance.dsx" \
  >/dev/null 2>&1
mv "$shots"/fit/fittingDialog-*.png "$shots/" && rm -rf "$shots/fit"
ls "$shots"/fittingDialog-*.png | sed 's/^/picture: /'
cp "$shots/mainFrame.png" docs/screenshots/main-frame.png
cp "$shots/plotWindow-menu-Trace.png" docs/screenshots/plot-window.png
cp "$shots/fittingDialog-fitted.png" docs/screenshots/fitting-dialog.png

# An acquisition arriving: the stopped-flow shot played slowly, the viewer on-line to it.
panel="$build/tools/lumatix-control-panel/lumatix-control-panel"
"$panel" --listen 127.0.0.1:0 --play examples/stopped_flow_absorbance.dsx --records-per-block 40 \
  --block-interval-ms 50 >"$home/panel.out" 2>&1 &
panel_pid=$!
trap 'kill "$panel_pid" 2>/dev/null; rm -rf "$home"' EXIT
port=""
for _ in $(seq 100); do
  port="$(sed -n 's/^listening on //p' "$home/panel.out")"
  [[ -n "$port" ]] && break
  sleep 0.05
done
[[ -n "$port" ]] || { echo "the control panel did not start" >&2; exit 1; }
acquired="$home/Acquired"
mkdir -p "$acquired" "$shots/online"
printf '[Preferences]\nWorking%%20Directory=%s\nControlPanelPort=%s\n' "$acquired" "$port" \
  >"$home/config/Corvane Ltd/Lumatix Viewer.conf"
QT_QPA_PLATFORM=offscreen LUMATIX_SCREENSHOTS="$shots/online" LUMATIX_SCREENSHOT_DELAY_MS=2500 \
  XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home" HOME="$home" "$viewer" -mi -OnLine 2>/dev/null |
  sed 's/^/picture: /'
cp "$shots/online/plotWindow.png" docs/screenshots/online-window.png
echo "docs/screenshots/main-frame.png, plot-window.png, fitting-dialog.png and online-window.png updated"
