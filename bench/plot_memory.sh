#!/usr/bin/env bash
# A plot window on the 256 MiB LumBinaryX file (8192 x 8192 values): the time from opening the
# file to its first painted 1920 x 1080 frame (target: at most 1 s) and the peak resident memory
# of the process (target: at most 2 x 4 bytes per value + 64 MiB).
#   bench/plot_memory.sh BUILD_DIR      (a release build)
set -euo pipefail
build="${1:-build/release}"
file="$(mktemp --suffix=.dsx)"
trap 'rm -f "$file"' EXIT
"$build/bench/lumatix_bench_binary" --write-big "$file"
# The file is read once before, so that the figure is the viewer's work, not the disk's.
cat "$file" >/dev/null
"$build/bench/lumatix_bench_plot_window" --open "$file" | tee "$file.out"
awk '/^first_frame_ms/ { t = $2 } /^peak_rss_mib/ { m = $2 } /^bound_mib/ { b = $2 }
     END { printf "first frame %s ms (target 1000), peak %s MiB (bound %s MiB)\n", t, m, b
           exit !(t <= 1000 && m <= b) }' "$file.out"
