#!/usr/bin/env bash
# Starts the demo, lets it run a moment, sends SIGTERM and expects a normal exit with 0.
demo="$1"
log=$(mktemp)
"$demo" >"$log" 2>&1 &
pid=$!
sleep 1.5
kill -0 "$pid" 2>/dev/null || { echo "demo ended early"; cat "$log"; exit 1; }
kill -TERM "$pid"
wait "$pid"
rc=$?
cat "$log"
rm -f "$log"
[ "$rc" -eq 0 ] || { echo "exit code $rc, expected 0"; exit 1; }
