#!/usr/bin/env bash
# Pictures of the viewer's windows for the README: runs the viewer offscreen on a working
# directory made from the bundled examples with the CD thermal melt open in a plot window,
# saves a picture of every window into build/screenshots/ (the viewer's LUMATIX_SCREENSHOTS
# mode, which adds the plot window in use: its menus open, the context menu, the legend and
# grid, a zoom rectangle and the print preview, and the fitting dialog before, during and after
# a fit) and copies the main frame's, a plot window's and the fitting dialog's to
# docs/screenshots/.
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
echo "docs/screenshots/main-frame.png, plot-window.png and fitting-dialog.png updated"
