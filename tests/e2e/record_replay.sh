#!/usr/bin/env bash
# Records a short session of real X11 input (xdotool under Xvfb) with GUI_DEMO_RECORD, ends the
# demo by SIGTERM or by "Beenden" (Alt+D, Up, Return), then plays the recording headless and
# expects it to pass: nothing the user did is lost however the demo ended.
# Usage: record_replay.sh DEMO sigterm|beenden       (exit 77 when Xvfb or xdotool is missing)
set -u
demo=$(realpath "$1")
mode="$2"
here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")

if [ "${RECORD_REPLAY_INNER:-}" != 1 ]; then
  for tool in xvfb-run xauth xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
  done
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  RECORD_REPLAY_INNER=1 RECORD_REPLAY_TMP="$tmp" timeout -k 5 60 \
    xvfb-run -a -s "-screen 0 1920x1080x24" "${BASH_SOURCE[0]}" "$demo" "$mode" || exit 1
  rec="$tmp/aufnahme.txt"
  echo "--- recording"
  cat "$rec" || { echo "FAIL: no recording"; exit 1; }
  failed=0
  need() { grep -qxF -- "$1" "$rec" || { echo "FAIL: recording lacks: $1"; failed=1; }; }
  need "move_to checkbox1"
  need "click"
  need 'type "Hallo \"Welt\""'
  need "key shift+Left"
  need "expect checkbox1 1"
  need "finish"
  if [ "$mode" = beenden ]; then
    need "key alt+d"
    need "# Die letzte Aktion beendete das Programm und wird nicht abgespielt"
  fi
  echo "--- replay"
  cd "$(dirname "$demo")" || exit 1
  SDL_VIDEODRIVER=offscreen SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 \
    SDL_AUDIODRIVER=dummy GUI_DEMO_EXIT_ON_END=1 GUI_DEMO_SCRIPT="$rec" \
    LSAN_OPTIONS=suppressions=$here/../lsan.supp \
    timeout -k 5 60 "$demo" >"$tmp/replay.log" 2>&1
  rc=$?
  grep -v "Charmap\|BUTTON\|MENU" "$tmp/replay.log"
  [ "$rc" = 0 ] || { echo "FAIL: replay ended with $rc"; failed=1; }
  grep -q "Demo-Fehler" "$tmp/replay.log" && { echo "FAIL: replay reported an error"; failed=1; }
  exit $failed
fi

# Inside the X session: the user's side.
tmp="$RECORD_REPLAY_TMP"
cd "$(dirname "$demo")" || exit 1
SDL_VIDEODRIVER=x11 SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy \
  SDL_VIDEO_X11_WMCLASS=tambergui-record LSAN_OPTIONS=suppressions=$here/../lsan.supp \
  GUI_DEMO_RECORD="$tmp/aufnahme.txt" "$demo" >"$tmp/record.log" 2>&1 &
pid=$!
win=$(xdotool search --sync --classname tambergui-record | head -n1)
sleep 1
xdotool windowfocus --sync "$win"
click() { xdotool mousemove --window "$win" "$1" "$2" sleep 0.2 click 1 sleep 0.4; }
click 40 176                  # "Checkbox 1"
click 640 64                  # into the single-line text, after "Das"
xdotool type --delay 60 'Hallo "Welt"'
xdotool sleep 0.2 key shift+Left sleep 0.3
if [ "$mode" = beenden ]; then
  xdotool key alt+d sleep 0.5 key Up sleep 0.3 key Return
else
  sleep 0.5
  kill -TERM "$pid"
fi
wait "$pid"
rc=$?
grep -v "Charmap\|BUTTON\|MENU" "$tmp/record.log"
[ "$rc" = 0 ] || { echo "FAIL: recording demo ended with $rc"; exit 1; }
