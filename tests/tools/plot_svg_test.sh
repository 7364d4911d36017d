#!/usr/bin/env bash
# 'lumatix plot' on every bundled example: the SVG is written, shows traces, ticks, titles and
# legend, and converts to a PNG with rsvg-convert (exit 77, skipped, when that is missing).
# With the viewer's build (third argument "gui") PNG and PDF pictures are drawn too, at the
# size asked for; a core-only build ("core") refuses them.
set -u
lumatix="$1"
examples="$2"
pictures="${3:-core}"
source "$(dirname "$0")/cli_checks.sh"

have_rsvg=0
command -v rsvg-convert >/dev/null 2>&1 && have_rsvg=1

n=0
for f in "$examples"/*.dsx; do
  base="$(basename "$f" .dsx)"
  for options in "" "--grid --legend" "--log-y --width 1920 --height 1080"; do
    n=$((n + 1))
    svg="$work/$base-$n.svg"
    # shellcheck disable=SC2086
    if ! "$lumatix" plot "$f" -o "$svg" $options 2>"$work/err"; then
      fail "plot $f $options:"; cat "$work/err"; continue
    fi
    grep -q '<polyline' "$svg" || fail "plot $f $options: no trace drawn"
    grep -q '</svg>' "$svg" || fail "plot $f $options: unfinished document"
    case "$options" in *--legend*)
      "$lumatix" traces "$f" | sed -n 5p | cut -f2 >"$work/first-name"
      grep -qF ">$(cat "$work/first-name")</text>" "$svg" || fail "plot $f: the first trace's name is not in the legend";;
    esac
    if [ "$have_rsvg" -eq 1 ]; then
      if ! rsvg-convert "$svg" -o "$work/$base-$n.png" 2>"$work/err"; then
        fail "rsvg-convert $f $options:"; cat "$work/err"
      elif [ "$(head -c 4 "$work/$base-$n.png" | od -An -c | tr -d ' ')" != '211PNG' ]; then
        fail "rsvg-convert $f $options: not a PNG"
      fi
    fi
  done
done

# Titles and heading come from the data set.
"$lumatix" plot "$examples/cd_thermal_melt.dsx" -o "$work/cd.svg" 2>/dev/null
grep -q '>Wavelength (nm)</text>' "$work/cd.svg" || fail "cd plot: no x title"
grep -q '>Circular Dichroism</text>' "$work/cd.svg" || fail "cd plot: no heading"

# A PNG's width and height, from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }'; }

if [ "$pictures" = gui ]; then
  for f in "$examples"/*.dsx; do
    base="$(basename "$f" .dsx)"
    if ! "$lumatix" plot "$f" -o "$work/$base.png" --width 640 --height 480 --grid --legend 2>"$work/err"; then
      fail "png $f:"; cat "$work/err"; continue
    fi
    [ "$(head -c 4 "$work/$base.png" | od -An -c | tr -d ' ')" = '211PNG' ] || fail "png $f: not a PNG"
    [ "$(png_size "$work/$base.png")" = 640x480 ] || fail "png $f: $(png_size "$work/$base.png"), not 640x480"
    "$lumatix" plot "$f" -o "$work/$base.pdf" 2>"$work/err" || { fail "pdf $f:"; cat "$work/err"; continue; }
    head -c 5 "$work/$base.pdf" | grep -q '%PDF-' || fail "pdf $f: not a PDF"
    tail -c 8 "$work/$base.pdf" | grep -q '%%EOF' || fail "pdf $f: unfinished document"
  done
  # The extension decides, in either case.
  "$lumatix" plot "$examples/cd_thermal_melt.dsx" -o "$work/upper.PNG" 2>/dev/null || fail "upper-case .PNG refused"
else
  # Refusals end with status 1 and leave no file behind.
  for ext in png pdf; do
    "$lumatix" plot "$examples/cd_thermal_melt.dsx" -o "$work/p.$ext" 2>"$work/err"
    [ $? -eq 1 ] || fail "$ext: status"
    grep -qF "PNG and PDF pictures need the viewer's graphical build" "$work/err" || fail "$ext: message"
    [ -e "$work/p.$ext" ] && fail "$ext: a file was written"
  done
fi
"$lumatix" plot "$examples/cd_thermal_melt.dsx" -o "$work/p.gif" 2>"$work/err"
[ $? -eq 1 ] || fail "gif: status"
[ -e "$work/p.gif" ] && fail "gif: a file was written"
"$lumatix" plot "$work/none.dsx" -o "$work/none.svg" 2>/dev/null
[ $? -eq 1 ] || fail "missing input: status"
[ -e "$work/none.svg" ] && fail "missing input: a file was written"
"$lumatix" plot "$examples/cd_thermal_melt.dsx" -o "$work/w.svg" --width 10 2>/dev/null
[ $? -eq 2 ] || fail "tiny width: not a usage error"
for size in "--width nan" "--height nan" "--width inf" "--height -inf"; do
  "$lumatix" plot "$examples/cd_thermal_melt.dsx" -o "$work/nan.svg" $size 2>/dev/null
  [ $? -eq 2 ] || fail "$size: not a usage error"
  [ -e "$work/nan.svg" ] && fail "$size: a file was written"
done

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
if [ "$have_rsvg" -eq 0 ]; then echo "rsvg-convert is missing: the SVG files were not checked by a renderer"; exit 77; fi
echo "plot: all checks passed"
