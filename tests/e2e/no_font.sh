#!/usr/bin/env bash
# The demo started where no font lies reports the missing font, runs, and quits cleanly.
demo="$1"
dir=$(mktemp -d)
cd "$dir" || exit 1
log=$(mktemp)
"$demo" >"$log" 2>&1 &
pid=$!
sleep 1.5
kill -0 "$pid" 2>/dev/null || { echo "demo ended early"; cat "$log"; exit 1; }
kill -TERM "$pid"
wait "$pid"
rc=$?
cat "$log"
cd / && rm -rf "$dir"
grep -q "Schriftart konnte nicht geladen werden: " "$log" || { rm -f "$log"; echo "no font message"; exit 1; }
rm -f "$log"
[ "$rc" -eq 0 ] || { echo "exit code $rc, expected 0"; exit 1; }
