#!/usr/bin/env bash
# Starts the program twice as a user would: the second start hands over and exits 0, and the quit
# message on the instance socket ends the first.
set -euo pipefail
program=$1
source "$(dirname "$0")/../support/scratch_home.sh"
make_scratch_home
trap 'kill $first 2>/dev/null || true; rm -rf "$home"' EXIT

LANG=es_ES.UTF-8 "$program" 2>"$home/first.log" &
first=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/Vantrel.sock" ] && break; sleep 0.05; done
[ -S "$XDG_RUNTIME_DIR/Vantrel.sock" ] || { echo "no instance socket"; cat "$home/first.log"; exit 1; }

"$program" && status=0 || status=$?
[ "$status" -eq 0 ] || { echo "second start returned $status"; exit 1; }
kill -0 "$first" || { echo "first instance ended"; exit 1; }

grep -q '^LCID=1034$' "$XDG_CONFIG_HOME/Vantrel/settings.ini" || { echo "Spanish not stored"; exit 1; }
[ -d "$XDG_DATA_HOME/Vantrel Files/db" ] || { echo "no db folder"; exit 1; }

send_quit "$XDG_RUNTIME_DIR/Vantrel.sock"
for _ in $(seq 100); do kill -0 "$first" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$first" 2>/dev/null; then echo "quit message ignored"; exit 1; fi
echo "1 passed, 0 failed"
