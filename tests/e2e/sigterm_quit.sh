#!/usr/bin/env bash
# Starts the demo in the working directory, waits until its main loop runs, sends SIGTERM and
# expects a normal exit with 0 and, when given, a line matching PATTERN in its output.
# Usage: sigterm_quit.sh DEMO [PATTERN]
demo="$1"
pattern="${2:-}"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
log="$tmp/log"
# The script's first scene is logged from the first frame of the main loop: the sign that the
# demo is up, however long a loaded machine takes to start it.
printf 'scene laeuft\nwait 60\n' >"$tmp/script.txt"
GUI_DEMO_SCRIPT="$tmp/script.txt" "$demo" >"$log" 2>&1 &
pid=$!
for _ in $(seq 600); do
  grep -q "Demo-Szene: laeuft" "$log" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$pid" 2>/dev/null || { echo "demo ended early"; cat "$log"; exit 1; }
grep -q "Demo-Szene: laeuft" "$log" || { echo "demo did not start within 30 s"; cat "$log"; kill -KILL "$pid"; exit 1; }
kill -TERM "$pid"
wait "$pid"
rc=$?
cat "$log"
[ "$rc" -eq 0 ] || { echo "exit code $rc, expected 0"; exit 1; }
[ -z "$pattern" ] || grep -q -- "$pattern" "$log" || { echo "missing: $pattern"; exit 1; }
