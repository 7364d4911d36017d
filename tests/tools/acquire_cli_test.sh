#!/usr/bin/env bash
# lumatix acquire against a spawned lumatix-control-panel: what is saved, the save rule's
# question, a lost, a silent and a missing server, TLS, refused names and Ctrl+C.
set -u
lumatix="$1"
panel="$2"
examples="$3"
source "$(dirname "$0")/cli_checks.sh"
pids=()
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done; rm -rf "$work"' EXIT

start_panel() {  # start_panel ARGS...: sets $port and $pid
  "$panel" --listen 127.0.0.1:0 "$@" >"$work/panel.out" 2>"$work/panel.err" &
  pid=$!
  pids+=("$pid")
  for _ in $(seq 100); do
    port="$(sed -n 's/^listening on //p' "$work/panel.out")"
    [ -n "$port" ] && return 0
    sleep 0.05
  done
  fail "the control panel did not start: $(cat "$work/panel.err")"
  port=1
}
stop_panel() { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
same_values() {  # same_values NAME A B: the traces of both files are the same numbers
  "$lumatix" traces "$2" >"$work/a.txt" 2>/dev/null && "$lumatix" traces "$3" >"$work/b.txt" 2>/dev/null &&
    cmp -s "$work/a.txt" "$work/b.txt" || fail "$1: $3 does not hold the values of $2"
}

shot="$examples/stopped_flow_absorbance.dsx"
mkdir -p "$work/dir"

# One acquisition in small blocks, the header in several: the saved file holds the played values.
start_panel --play "$shot" --records-per-block 97 --header-blocks 4 --block-interval-ms 1 --log "$work/calls.log"
check "acquire one" 0 "$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir"
contains "acquire one" "$work/err" "stopped_flow_absorbance.dsx: 3000 records received"
contains "acquire one" "$work/err" "Saved $work/dir/stopped_flow_absorbance.dsx"
same_values "acquire one" "$shot" "$work/dir/stopped_flow_absorbance.dsx"
contains "call log" "$work/calls.log" "GetHeaderBlock first=1 status=2"
contains "call log" "$work/calls.log" "CloseSession closed=1"
stop_panel

# Two acquisitions; the file of the first exists now: without --yes it is kept, with --yes replaced.
start_panel --play "$shot" --repeat 2
before="$(md5sum <"$work/dir/stopped_flow_absorbance.dsx")"
check "acquire two, keep" 0 "$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir" --count 2
contains "acquire two, keep" "$work/err" "Not saved."
contains "acquire two, keep" "$work/err" "Saved $work/dir/stopped_flow_absorbance-2.dsx"
[ "$(md5sum <"$work/dir/stopped_flow_absorbance.dsx")" = "$before" ] || fail "acquire two: the existing file changed"
stop_panel
start_panel --play "$shot" --name "taken.dsx"
echo "not a data store" >"$work/dir/taken.dsx"
check "acquire --yes" 0 "$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir" --yes
same_values "acquire --yes" "$shot" "$work/dir/taken.dsx"
stop_panel

# A temperature run ends with the whole file: the saved file is the played one, byte for byte.
start_panel --play "$examples/cd_temperature_ramp.dsx"
check "temperature run" 0 "$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir"
cmp -s "$examples/cd_temperature_ramp.dsx" "$work/dir/cd_temperature_ramp.dsx" || fail "temperature run: file differs"
stop_panel

# A name that would leave the folder is refused: the file lands inside it, as Untitled.dsx.
start_panel --play "$shot" --name "../escaped.dsx"
check "refused name" 0 "$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir" --yes
[ -e "$work/escaped.dsx" ] && fail "refused name: a file was written outside the folder"
[ -f "$work/dir/Untitled.dsx" ] || fail "refused name: nothing saved in the folder"
stop_panel

# --fit: each acquisition is fitted while it arrives; the "Fitting" entry goes to standard output
# and into the saved file, with the answer lumatix fit finds on the whole file.
start_panel --play "$shot" --name fitted.dsx --records-per-block 250 --block-interval-ms 20
check "acquire --fit" 0 "$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir" --fit "Single Exponential"
contains "acquire --fit" "$work/out" "a.exp(-kx)+cSingle Exponential"
"$lumatix" fit "$shot" --model "Single Exponential" --trace 1 >"$work/whole.txt" 2>/dev/null
k_line="$(grep '^k = ' "$work/whole.txt" | cut -c1-9)"
contains "acquire --fit agrees with lumatix fit" "$work/out" "$k_line"
"$lumatix" history "$work/dir/fitted.dsx" >"$work/history.txt" 2>&1
contains "acquire --fit history" "$work/history.txt" "Fitted line : "
stop_panel
check "acquire --fit unknown" 1 "$lumatix" acquire --server "127.0.0.1:1" --fit "No Such Model"
contains "acquire --fit unknown" "$work/err" "There is no fitting function \"No Such Model\""

lost_text="The Lumatix Viewer application lost its link to the Control Panel"
# The server vanishes in the middle: the link-lost text, status 1.
start_panel --play "$shot" --records-per-block 100 --drop-after 5
check "server vanishes" 1 "$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir" --count 1
contains "server vanishes" "$work/err" "$lost_text"
contains "server vanishes" "$work/err" " at IP Address 127.0.0.1:$port."
wait "$pid" 2>/dev/null

# No server at all.
check "no server" 1 "$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir"
contains "no server" "$work/err" "$lost_text"

# A server that stops answering (frozen) is noticed by the keepalive within ten seconds.
start_panel --play "$shot" --records-per-block 10 --block-interval-ms 20
( sleep 0.5; kill -STOP "$pid" ) &
started=$(date +%s)
check "silent server" 1 "$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir"
took=$(( $(date +%s) - started ))
contains "silent server" "$work/err" "$lost_text"
[ "$took" -le 11 ] || fail "silent server: noticed after ${took}s"
kill -CONT "$pid"; stop_panel

# Ctrl+C while waiting for data ends at once, status 1.
start_panel --play "$shot" --records-per-block 10 --block-interval-ms 60000
"$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir" >"$work/out" 2>"$work/err" &
acq=$!
sleep 1
kill -INT "$acq"
start_ns=$(date +%s%N)
wait "$acq"; status=$?
took_ms=$(( ($(date +%s%N) - start_ns) / 1000000 ))
[ "$status" -eq 1 ] || fail "ctrl+c: status $status"
[ "$took_ms" -lt 1000 ] || fail "ctrl+c: took ${took_ms} ms"
contains "ctrl+c" "$work/err" "Stopped: 0 of 1 acquisitions received."
stop_panel

# TLS: a certificate authority, a server certificate for 127.0.0.1 signed by it.
if command -v openssl >/dev/null; then
  (cd "$work" &&
    openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Test CA" &&
    openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=localhost" &&
    printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\n' >san.ext &&
    openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 -extfile san.ext
  ) >/dev/null 2>&1 || fail "tls: openssl could not make the certificates"
  start_panel --play "$shot" --tls-cert "$work/server.pem" --tls-key "$work/server.key"
  rm -f "$work/dir/stopped_flow_absorbance.dsx"
  check "tls" 0 "$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir" --tls-ca "$work/ca.pem"
  same_values "tls" "$shot" "$work/dir/stopped_flow_absorbance.dsx"
  check "tls without the authority" 1 "$lumatix" acquire --server "127.0.0.1:$port" --dir "$work/dir"
  contains "tls without the authority" "$work/err" "$lost_text"
  check "tls with an unreadable authority" 1 "$lumatix" acquire --server "127.0.0.1:$port" --tls-ca "$work/none.pem"
  contains "tls with an unreadable authority" "$work/err" "Cannot read the certificate authority file"
  stop_panel
fi

check "usage" 2 "$lumatix" acquire --count 0
[ "$failures" -eq 0 ] && echo "all acquire checks passed"
exit $(( failures > 0 ))
