#!/usr/bin/env bash
# The lumatix command end to end on the bundled examples: results, messages and exit status.
set -u
lumatix="$1"
examples="$2"
source "$(dirname "$0")/cli_checks.sh"



check formats 0 "$lumatix" formats
[ "$(wc -l <"$work/out")" -eq 10 ] || { echo "FAIL formats: not ten lines"; failures=$((failures + 1)); }
contains formats "$work/out" "LumBinaryX	.dsx	read"

for f in "$examples"/*.dsx; do
  check "info $f" 0 "$lumatix" info "$f"
  contains "info $f" "$work/out" "Format: LumBinaryX"
  contains "info $f" "$work/out" "DataStore initialized :"
  [ -s "$work/err" ] && { echo "FAIL info $f: notes on stderr without --verbose"; failures=$((failures + 1)); }

  # A LumBinaryX file written again is the same file, byte for byte.
  check "convert $f" 0 "$lumatix" convert "$f" "$work/copy.dsx"
  cmp -s "$f" "$work/copy.dsx" || { echo "FAIL convert $f: the copy differs"; failures=$((failures + 1)); }

  # Through the older format and back: the same dimensions and values.
  check "to dsb $f" 0 "$lumatix" convert "$f" "$work/old.dsb"
  check "from dsb $f" 0 "$lumatix" convert "$work/old.dsb" "$work/back.dsx"
  "$lumatix" info "$f" | sed -n '/^Dimensions/,/^Remarks/p' >"$work/a"
  "$lumatix" info "$work/back.dsx" | sed -n '/^Dimensions/,/^Remarks/p' >"$work/b"
  cmp -s "$work/a" "$work/b" || { echo "FAIL dsb round trip $f"; diff "$work/a" "$work/b"; failures=$((failures + 1)); }
done

# Every format of the save dialog is written; the export-only ones say so in their first bytes.
melt="$examples/cd_thermal_melt.dsx"
for format in LumBinaryX LumBinary LumatixStore QVL-ASCII "JCAMP-DX 5.0" SimpleCSV LumatixCSV LumatixTSV; do
  check "convert to $format" 0 "$lumatix" convert "$melt" "$work/out.any" --format "$format"
  [ -s "$work/out.any" ] || { echo "FAIL convert to $format: empty file"; failures=$((failures + 1)); }
done
check "to LumatixTSV" 0 "$lumatix" convert "$melt" "$work/table.txt"
[ "$(head -c 10 "$work/table.txt")" = "LumatixTSV" ] || { echo "FAIL .txt is not LumatixTSV"; failures=$((failures + 1)); }
check "SimpleCSV warning" 0 "$lumatix" convert "$melt" "$work/simple.csv" --format SimpleCSV
contains "SimpleCSV warning" "$work/err" "The current dataset contains more than one Dimension."
check "CDNN" 0 "$lumatix" convert "$melt" "$work/cd.txt" --format CDNN
[ "$(head -n 1 "$work/cd.txt")" = "$(printf '180\t1.92928')" ] || { echo "FAIL CDNN first line"; failures=$((failures + 1)); }
check "CDNN refusal" 1 "$lumatix" convert "$examples/stopped_flow_absorbance.dsx" "$work/no.txt" --format CDNN
contains "CDNN refusal" "$work/err" "Sorry! The step size is not appropriate for CDNN export."
[ -e "$work/no.txt" ] && { echo "FAIL CDNN refusal left a file"; failures=$((failures + 1)); }
check "glb refusal" 1 "$lumatix" convert "$examples/fluorescence_polarisation.dsx" "$work/no.glb"
contains "glb refusal" "$work/err" "Cannot export this file to spectrakinetic format"

check describe 0 "$lumatix" describe "$examples/stopped_flow_absorbance.dsx"
contains describe "$work/out" "Time	1000 time points over 2s,logarithmic,not oversampled,external trigger"
contains describe "$work/out" "Repeat	3 repeats in set."

check history 0 "$lumatix" history "$examples/cd_thermal_melt.dsx"
contains history "$work/out" "DataStore created and initialized for data acquisition."
contains history "$work/out" "Version : Morvath v.4.4.2.0 Build : "

check verbose 0 "$lumatix" --verbose info "$examples/cd_thermal_melt.dsx"
contains verbose "$work/err" "reading 2 comments"

printf 'LumatixCSV\n1,2\n' >"$work/export.csv"
check "export-only" 1 "$lumatix" info "$work/export.csv"
contains "export-only" "$work/err" "CSV is an export only format."
printf 'something\nelse\n' >"$work/unknown.txt"
check unknown 1 "$lumatix" info "$work/unknown.txt"
contains unknown "$work/err" "The file is of an unrecognised format"
contains unknown "$work/err" 'Its first line "something" names none of the formats the viewer reads'
printf 'ASCII\n2\n1 2\n3 x\n' >"$work/short.txt"
check "refusal reason" 1 "$lumatix" traces "$work/short.txt"
contains "refusal reason" "$work/err" 'ASCII file: line 4: point 2 of 2: found "x" where a number was expected.'
check missing 1 "$lumatix" info "$work/none.dsx"
contains missing "$work/err" "Can't open the file"
contains missing "$work/err" "No such file or directory"
for command in info traces history describe; do
  check "$command folder" 1 "$lumatix" $command "$work"
  contains "$command folder" "$work/err" "$work is a folder, not a file."
  check "$command missing" 1 "$lumatix" $command "$work/none.dsx"
done
head -c 40 "$examples/cd_thermal_melt.dsa" >"$work/cut.dsa"
check "cut short" 1 "$lumatix" info "$work/cut.dsa"
[ -s "$work/err" ] || fail "cut short: no message"
grep -qF "Can't open the file" "$work/err" && fail "cut short: called missing"
check "unwritable reason" 1 "$lumatix" convert "$examples/cd_thermal_melt.dsx" "/nonexistent/out.dsx"
contains "unwritable reason" "$work/err" "No such file or directory"

# Saves follow links and leave special and read-only files alone.
mkdir "$work/real"
cp "$examples/cd_thermal_melt.dsx" "$work/real/target.dsx"
ln -s real/target.dsx "$work/link.dsx"
check "through a link" 0 "$lumatix" convert "$examples/stopped_flow_absorbance.dsx" "$work/link.dsx"
[ -L "$work/link.dsx" ] || fail "through a link: the link was replaced"
cmp -s "$examples/stopped_flow_absorbance.dsx" "$work/real/target.dsx" || fail "through a link: the target was not written"
ln -s /dev/null "$work/null.dsx"
check "onto a device" 1 "$lumatix" convert "$examples/cd_thermal_melt.dsx" "$work/null.dsx" --format LumBinaryX
contains "onto a device" "$work/err" "It is a device, not a regular file; it was left alone."
[ -c /dev/null ] || fail "onto a device: /dev/null is no longer a device"
cp "$examples/cd_thermal_melt.dsx" "$work/locked.dsx"; chmod 0444 "$work/locked.dsx"
check "read-only" 1 "$lumatix" convert "$examples/stopped_flow_absorbance.dsx" "$work/locked.dsx"
contains "read-only" "$work/err" "The file is read-only"
cmp -s "$examples/cd_thermal_melt.dsx" "$work/locked.dsx" || fail "read-only: replaced"
long="$work/$(printf 'n%.0s' $(seq 251)).dsx"
check "long name" 0 "$lumatix" convert "$examples/cd_thermal_melt.dsx" "$long"
check "long name readable" 0 "$lumatix" info "$long"

# Standard input, pipes and FIFOs are read whole and then like the file itself.
for f in "$examples"/*.dsx "$examples"/*.dsa; do
  "$lumatix" info "$f" >"$work/direct" 2>&1
  "$lumatix" info - <"$f" >"$work/stdin" 2>&1 || fail "info - <$f: status"
  cat "$f" | "$lumatix" traces - >"$work/piped" 2>&1 || fail "traces from a pipe $f: status"
  "$lumatix" traces "$f" >"$work/traces" 2>&1
  cmp -s "$work/direct" "$work/stdin" || fail "info from standard input differs for $f"
  cmp -s "$work/traces" "$work/piped" || fail "traces from a pipe differs for $f"
done
mkfifo "$work/fifo"
for command in info traces history; do
  cat "$examples/cd_thermal_melt.dsx" >"$work/fifo" &
  timeout 10 "$lumatix" $command "$work/fifo" >"$work/out" 2>"$work/err" || fail "$command FIFO: status $?"
  wait
done
cat "$examples/cd_thermal_melt.dsx" >"$work/fifo" &
timeout 10 "$lumatix" plot "$work/fifo" -o "$work/fifo.svg" || fail "plot FIFO"
wait
check "unknown extension" 1 "$lumatix" convert "$examples/cd_thermal_melt.dsx" "$work/out.xyz"
contains "unknown extension" "$work/err" "Error! Unknown format!"
check "unwritable" 1 "$lumatix" convert "$examples/cd_thermal_melt.dsx" "/nonexistent/out.dsx"
contains "unwritable" "$work/err" "Can't open /nonexistent/out.dsx for writing."
check usage 2 "$lumatix" info
check "no command" 2 "$lumatix"
check version 0 "$lumatix" --version
contains version "$work/out" "4.4.2.0"

if [ "$failures" -ne 0 ]; then echo "$failures failures"; exit 1; fi
echo "cli: all checks passed"
