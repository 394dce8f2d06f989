#!/usr/bin/env bash
# Starts the demo in the working directory, lets it run a moment, sends SIGTERM and expects a
# normal exit with 0 and, when given, a line matching PATTERN in its output.
# Usage: sigterm_quit.sh DEMO [PATTERN]
demo="$1"
pattern="${2:-}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$demo" >"$log" 2>&1 &
pid=$!
sleep 1.5
kill -0 "$pid" 2>/dev/null || { echo "demo ended early"; cat "$log"; exit 1; }
kill -TERM "$pid"
wait "$pid"
rc=$?
cat "$log"
[ "$rc" -eq 0 ] || { echo "exit code $rc, expected 0"; exit 1; }
[ -z "$pattern" ] || grep -q -- "$pattern" "$log" || { echo "missing: $pattern"; exit 1; }
