#!/usr/bin/env bash
# Starts the program on a simulated family-B keyboard on its receiver, with a HID trace, and checks
# that it connects, reports the connection and traces the post-connect read-back.
set -euo pipefail
program=$1
source "$(dirname "$0")/../support/scratch_home.sh"
make_scratch_home
trap 'kill $pid 2>/dev/null || true; rm -rf "$home"' EXIT

"$program" --simulate=201:1 --trace-hid "$home/trace.txt" >"$home/out.txt" 2>"$home/err.txt" &
pid=$!
for _ in $(seq 100); do grep -q '^connection:' "$home/out.txt" 2>/dev/null && break; sleep 0.05; done
grep -qx 'connection: Vantrel T201 via 2.4 GHz receiver' "$home/out.txt" || { echo "no connection"; cat "$home"/*.txt; exit 1; }

send_quit "$XDG_RUNTIME_DIR/Vantrel.sock"
wait "$pid" && status=0 || status=$?
[ "$status" -eq 0 ] || { echo "quit gave exit status $status"; exit 1; }
# On the receiver the key pages are off, so the post-connect work reads nothing back; the scan
# itself must still have opened the receiver's interface without any report. A second run on the
# cable reads the slots back.
"$program" --simulate=201:0 --trace-hid "$home/trace.txt" >"$home/out.txt" 2>"$home/err.txt" &
pid=$!
for _ in $(seq 100); do grep -q 'feature-in' "$home/trace.txt" 2>/dev/null && break; sleep 0.05; done
kill -TERM "$pid"
wait "$pid" || true
grep -q 'feature-out  *sim:0:0:1 07 FB 01' "$home/trace.txt" || { echo "no read-back in the trace"; cat "$home/trace.txt"; exit 1; }
[ -f "$XDG_DATA_HOME/Vantrel Files/simulator/201-0.state" ] || { echo "simulator state not kept"; exit 1; }
echo "1 passed, 0 failed"
