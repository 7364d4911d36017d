#!/usr/bin/env bash
# 'lumatix decompose' and 'lumatix ramp' end to end on the bundled examples: the files they
# write, the names taken when files exist, the questions answered by --yes/--no, refusals.
set -u
lumatix="$1"
examples="$2"
source "$(dirname "$0")/cli_checks.sh"

count() {  # count NAME DIR EXPECTED: the number of files below DIR
  local n
  n="$(find "$2" -type f | wc -l)"
  [ "$n" -eq "$3" ] || { echo "FAIL $1: $n files, expected $3"; find "$2"; failures=$((failures + 1)); }
}

# Five temperatures of the thermal melt, each spectrum whole.
melt="$examples/cd_thermal_melt.dsx"
check decompose 0 "$lumatix" decompose "$melt" "$work/tree" --primary Wavelength
contains decompose "$work/err" "Datastore Successfully decomposed and saved"
count decompose "$work/tree" 5
[ -f "$work/tree/Temperature=35.dsx" ] || { echo "FAIL decompose: no Temperature=35.dsx"; failures=$((failures + 1)); }
"$lumatix" info "$work/tree/Temperature=35.dsx" >"$work/info"
contains "decomposed file" "$work/info" "161 points"
# A second run beside the first never replaces a file: the new ones take "_1".
check "decompose again" 0 "$lumatix" decompose "$melt" "$work/tree" --primary 0
count "decompose again" "$work/tree" 10
[ -f "$work/tree/Temperature=35_1.dsx" ] || { echo "FAIL decompose again: no _1 file"; failures=$((failures + 1)); }
# A range keeps three temperatures; the spectra split into one file per wavelength.
check "decompose range" 0 "$lumatix" decompose "$melt" "$work/ranged" --primary Temperature --range Temperature=30:70
count "decompose range" "$work/ranged" 161
"$lumatix" info "$work/ranged/Wavelength=222.dsx" >"$work/info"
contains "decompose range" "$work/info" "3 points	35 .. 65"
# Stopped-flow shots: one file per repeat.
check "decompose shots" 0 "$lumatix" decompose "$examples/stopped_flow_absorbance.dsx" "$work/shots" --primary Time
count "decompose shots" "$work/shots" 3
check "decompose nothing split" 1 "$lumatix" decompose "$melt" "$work/none" --primary 0,1
contains "decompose nothing split" "$work/err" "Error! No more dimensions to select from."
check "decompose unknown dimension" 1 "$lumatix" decompose "$melt" "$work/none" --primary Nope
check "decompose bad range" 1 "$lumatix" decompose "$melt" "$work/none" --primary 0 --range Temperature=1
check "decompose yes and no" 2 "$lumatix" decompose "$melt" "$work/none" --primary 0 --yes --no
check "decompose reversed range" 1 "$lumatix" decompose "$melt" "$work/none" --primary 0 --range Temperature=80:20
contains "decompose reversed range" "$work/err" "with finite LO <= HI"
# A refused run leaves no empty folder behind.
[ -e "$work/none" ] && { echo "FAIL decompose refused: folder left"; failures=$((failures + 1)); }

# The temperature ramp: eight spectra and 41 melting curves.
ramp="$examples/cd_temperature_ramp.dsx"
check ramp 0 "$lumatix" ramp "$ramp" "$work/r" --format dsx
contains ramp "$work/err" "Temperature ramp data successfully decomposed."
count ramp "$work/r" 49
"$lumatix" info "$work/r/r 30.dsx" >"$work/info"
contains "ramp spectrum" "$work/info" "Title: Temperature ramp of a helical peptide, 0.1 mg/ml, 1 mm cell 30"
check "ramp csv" 0 "$lumatix" ramp "$ramp" "$work/c" --format csv
head -1 "$work/c/c 222.csv" >"$work/first"
contains "ramp csv" "$work/first" "LumatixCSV"
# Existing files: No by default keeps them, --yes replaces them.
printf 'keep me' >"$work/r/r 10.dsx"
# Every file is there already, so keeping them all writes nothing: no success is claimed.
check "ramp no" 1 "$lumatix" ramp "$ramp" "$work/r" --format dsx
contains "ramp no" "$work/err" "A file called r 10.dsx already exists in the target directory."
contains "ramp no" "$work/err" "No file was written: every one exists already (--yes replaces them)."
grep -q "successfully decomposed" "$work/err" && { echo "FAIL ramp no: success claimed"; failures=$((failures + 1)); }
[ "$(cat "$work/r/r 10.dsx")" = "keep me" ] || { echo "FAIL ramp no: file replaced"; failures=$((failures + 1)); }
check "ramp yes" 0 "$lumatix" ramp "$ramp" "$work/r" --format dsx --yes
grep -q "Overwrite?" "$work/err" && { echo "FAIL ramp yes: the answered question was printed"; failures=$((failures + 1)); }
check "ramp yes readable" 0 "$lumatix" info "$work/r/r 10.dsx"
check "ramp refused" 1 "$lumatix" ramp "$melt" "$work/refused" --format dsa
contains "ramp refused" "$work/err" "File $melt does not contain the setpoint temperature property."
[ -e "$work/refused" ] && { echo "FAIL ramp refused: folder made"; failures=$((failures + 1)); }
check "ramp deep folder" 1 "$lumatix" ramp "$ramp" "$work/a/b" --format dsa
contains "ramp deep folder" "$work/err" "Failed to create directory '$work/a/b'"
check "ramp format" 2 "$lumatix" ramp "$ramp" "$work/r" --format txt

# No temporary file is left anywhere.
leftovers="$(find "$work" -name '*.lmxtmp-*')"
[ -z "$leftovers" ] || { echo "FAIL temporaries left: $leftovers"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] && echo "all launch-pad command checks passed"
exit $((failures > 0))
