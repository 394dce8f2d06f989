#!/usr/bin/env bash
# A rejected --window-size gives the message and exit code 2.
demo="$1"
out=$("$demo" --window-size 800X600 2>&1)
rc=$?
echo "$out"
[ "$rc" -eq 2 ] || { echo "exit code $rc, expected 2"; exit 1; }
grep -q -- "--window-size braucht BREITExHOEHE (1 bis 8192) oder fullscreen" <<<"$out" || exit 1
out=$("$demo" --window-size 640x480 --window-size 640x480 2>&1)
rc=$?
[ "$rc" -eq 2 ] || { echo "twice: exit code $rc, expected 2"; exit 1; }
grep -q -- "--window-size darf nur einmal angegeben werden" <<<"$out" || exit 1
