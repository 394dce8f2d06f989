#!/usr/bin/env bash
# Runs the demo where no font can be found at all: a copy of the program alone in an empty
# directory (nothing below it or beside it) and a fontconfig that knows no fonts; then checks it
# as sigterm_quit.sh does. Usage: no_font.sh DEMO [EXPECTED_STDERR_TEXT]
set -u
here=$(dirname "$(realpath "$0")")
demo=$(realpath "$1")
shift
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$demo" "$tmp/"
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' > "$tmp/fonts.conf"
cd "$tmp" || exit 1
FONTCONFIG_FILE="$tmp/fonts.conf" "$here/sigterm_quit.sh" "$tmp/$(basename "$demo")" "$@"
