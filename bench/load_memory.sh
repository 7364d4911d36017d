#!/usr/bin/env bash
# Peak resident memory of the lumatix command while it loads a 256 MiB LumBinaryX file,
# against the bound 4 bytes per value + 32 MiB.
#   bench/load_memory.sh BUILD_DIR      (a release build)
set -euo pipefail
build="${1:-build/release}"
file="$(mktemp --suffix=.dsx)"
trap 'rm -f "$file"' EXIT
"$build/bench/lumatix_bench_binary" --write-big "$file"
values=$((8192 * 8192))
/usr/bin/time -f '%M' -o "$file.rss" "$build/tools/lumatix/lumatix" info "$file" >/dev/null
rss_kib=$(cat "$file.rss"); rm -f "$file.rss"
bound_kib=$(( (4 * values + 32 * 1024 * 1024) / 1024 ))
echo "peak resident ${rss_kib} KiB for ${values} values; bound ${bound_kib} KiB"
[ "$rss_kib" -lt "$bound_kib" ]
