#!/usr/bin/env bash
# A plot window on the 256 MiB LumBinaryX file (8192 x 8192 values): the time from opening the
# file to its first painted 1920 x 1080 frame (target: at most 1 s), the peak resident memory
# of the process (target: at most 2 x 4 bytes per value + 64 MiB), and wheel steps on it (each
# frame on the GUI thread at most 30 ms; the finished picture follows from another thread).
#   bench/plot_memory.sh BUILD_DIR      (a release build)
set -euo pipefail
build="${1:-build/release}"
file="$(mktemp --suffix=.dsx)"
trap 'rm -f "$file" "$file".[123] "$file.wheel"' EXIT
"$build/bench/lumatix_bench_binary" --write-big "$file"
# The file is written out and read once before, so that the figures are the viewer's work, not
# the disk's; the best of three runs is reported (each run's figures are printed).
sync
cat "$file" >/dev/null
for run in 1 2 3; do
  "$build/bench/lumatix_bench_plot_window" --open "$file" | tee "$file.$run"
done
# Wheel steps on the same file: every frame on the GUI thread at most 30 ms.
"$build/bench/lumatix_bench_plot_window" --wheel "$file" | tee "$file.wheel"
awk '/^first_frame_ms/ { if (t == "" || $2 < t) t = $2 } /^peak_rss_mib/ { if ($2 > m) m = $2 } /^bound_mib/ { b = $2 }
     END { printf "first frame %s ms, best of three (target 1000), peak %s MiB, largest of three (bound %s MiB)\n", t, m, b
           exit !(t <= 1000 && m <= b) }' "$file".[123] || status=1
awk '/^longest_frame_ms/ { f = $2 } /^longest_finished_ms/ { d = $2 }
     END { printf "wheel: longest frame %s ms (target 30), longest wait for the finished picture %s ms\n", f, d
           exit !(f <= 30) }' "$file.wheel" || status=1
exit "${status:-0}"
