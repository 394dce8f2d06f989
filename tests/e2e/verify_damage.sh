#!/usr/bin/env bash
# Plays one e2e script with the damage verifier on (TAMBERGUI_VERIFY_DAMAGE=1) on the given
# renderer: every frame that drew only what changed, and every frame that drew nothing, is
# compared with a full redraw; a difference ends the demo with 4 and fails the script's checks.
# Usage: verify_damage.sh DEMO SCRIPT software|opengl
# Exit 77 (skipped) when the renderer asked for is not available.
set -u
demo="$1"
script="$2"
renderer="$3"
here=$(dirname "${BASH_SOURCE[0]}")
extra="TAMBERGUI_VERIFY_DAMAGE=1 SDL_RENDER_DRIVER=$renderer"
# Mesa's OpenGL driver keeps allocations until exit that LeakSanitizer reports from an unloaded
# module (no library name to suppress); they are not ours. Memory errors are still caught.
[ "$renderer" = opengl ] && extra="$extra ASAN_OPTIONS=detect_leaks=0"
out=$(E2E_DEMO_ENV="$extra" "$here/run_script.sh" "$demo" "$script" 2>&1)
status=$?
printf '%s\n' "$out" | grep -v '^Charmap '
announced=$(printf '%s\n' "$out" | grep -o 'Demo: Schadenprüfung an, Renderer [a-z0-9_]*' | head -n1)
if [ -z "$announced" ]; then
  # Scripts that end before a window opens leave nothing to compare.
  [ "$status" = 0 ] && echo "e2e: no window drawn, nothing to compare"
  exit "$status"
fi
if [ "${announced##* }" != "$renderer" ]; then
  echo "SKIP: NO ${renderer^^} RENDERER here (got ${announced##* }): NOT TESTED"
  exit 77
fi
if printf '%s\n' "$out" | grep -q 'Schadenprüfung: '; then
  echo "FAIL: frames differ from a full redraw"
  exit 1
fi
exit "$status"
