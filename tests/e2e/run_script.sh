#!/usr/bin/env bash
# Runs the demo headless with one script and checks its exit code and log against the
# directives written as comment lines in the script itself (see README.md beside this file).
# Usage: run_script.sh DEMO SCRIPT
set -u
demo="$1"
script="$2"
[ -x "$demo" ] || { echo "demo not found: $demo"; exit 1; }
[ -f "$script" ] || { echo "script not found: $script"; exit 1; }
demo=$(realpath "$demo")
script=$(realpath "$script")
lsan_supp=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../lsan.supp")
# The demo finds its font and images below its own directory.
cd "$(dirname "$demo")" || exit 1

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
log="$tmp/demo.log"

expect_exit=0
timeout_s=30
script_path="$script"
display=offscreen
gate_after=""
user_key_after=""
user_key=""
terminate_on_log=""
exit_on_end=1
envs=()
expect=()
expect_re=()
reject=()
reject_re=()
reject_before_gate=()
file_re=()
file_lines=()

# Directives: "# name: value" lines; @TMP@ stands for this run's temporary directory.
while IFS= read -r line || [ -n "$line" ]; do
  line="${line%$'\r'}"
  [[ "$line" =~ ^#[[:space:]]*([a-z-]+):[[:space:]]?(.*)$ ]] || continue
  name="${BASH_REMATCH[1]}"
  value="${BASH_REMATCH[2]//@TMP@/$tmp}"
  case "$name" in
    expect-exit) expect_exit="$value" ;;
    expect-log) expect+=("$value") ;;
    expect-log-re) expect_re+=("$value") ;;
    reject-log) reject+=("$value") ;;
    reject-log-re) reject_re+=("$value") ;;
    env) envs+=("$value") ;;
    script) script_path="$value" ;;
    timeout) timeout_s="$value" ;;
    start-gate) gate_after="$value" ;;
    reject-log-before-gate) reject_before_gate+=("$value") ;;
    display) display="$value" ;;
    user-key) read -r user_key_after user_key <<<"$value" ;;
    terminate-on-log) terminate_on_log="$value" ;;
    no-exit-on-end) exit_on_end=0 ;;
    expect-file-re) file_re+=("$value") ;;
    expect-file-lines) file_lines+=("$value") ;;
    mkdir) mkdir -p -- "$value" || { echo "cannot make $value"; exit 1; } ;;
    touch) mkdir -p -- "$(dirname -- "$value")" && touch -- "$value" || { echo "cannot make $value"; exit 1; } ;;
    *) echo "unknown directive: $name"; exit 1 ;;
  esac
done <"$script"

if [ "$display" = xvfb ]; then
  for tool in xvfb-run xauth xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
  done
fi

run_env=(SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0
         "GUI_DEMO_SCRIPT=$script_path" SDL_VIDEO_X11_WMCLASS=tambergui-e2e)
[ "$display" = offscreen ] && run_env+=(SDL_VIDEODRIVER=offscreen)
[ "$display" = xvfb ] && run_env+=(SDL_VIDEODRIVER=x11)
[ "$exit_on_end" = 1 ] && run_env+=(GUI_DEMO_EXIT_ON_END=1)
[ -n "$gate_after" ] && run_env+=("GUI_DEMO_START_GATE=$tmp/gate")
run_env+=("${envs[@]}")
# The caller's extra environment (E2E_DEMO_ENV="A=1 B=2") comes last, over the script's own.
if [ -n "${E2E_DEMO_ENV:-}" ]; then
  read -ra extra_env <<<"$E2E_DEMO_ENV"
  run_env+=("${extra_env[@]}")
fi

launcher=()
if [ "$display" = xvfb ]; then
  launcher=(xvfb-run -a -s "-screen 0 1920x1080x24")
fi
# Leaks inside system libraries, not ours: libdbus under X11, and the font patterns fontconfig
# keeps for cairo's text until exit (the demo's cairo scene).
run_env+=("LSAN_OPTIONS=suppressions=$lsan_supp")

# Under xvfb the key is sent from inside the X session, so the demo is wrapped in a helper.
if [ -n "$user_key" ]; then
  cat >"$tmp/with_key.sh" <<EOF
#!/usr/bin/env bash
"\$@" &
pid=\$!
sleep $user_key_after
win=\$(xdotool search --sync --classname tambergui-e2e | head -n1)
xdotool windowfocus --sync "\$win"
xdotool key --clearmodifiers "$user_key"
echo "e2e: Taste $user_key an Fenster \$win gesendet"
wait \$pid
EOF
  chmod +x "$tmp/with_key.sh"
  launcher+=("$tmp/with_key.sh")
fi

TIMEFORMAT='%R %U %S'
{ time {
  env "${run_env[@]}" timeout -k 5 "$timeout_s" "${launcher[@]}" "$demo" >"$log" 2>&1 &
  pid=$!
  if [ -n "$gate_after" ]; then
    sleep "$gate_after"
    kill -0 "$pid" 2>/dev/null || echo "e2e: demo ended before the gate opened" >>"$log"
    for text in "${reject_before_gate[@]}"; do
      if grep -qF -- "$text" "$log"; then echo "e2e: before gate: $text" >>"$tmp/gate_fail"; fi
    done
    touch "$tmp/gate"
  fi
  if [ -n "$terminate_on_log" ]; then
    # Ask the demo to close once it has written the line, not after a guessed delay.
    until grep -qF -- "$terminate_on_log" "$log" 2>/dev/null || ! kill -0 "$pid" 2>/dev/null; do
      sleep 0.05
    done
    # Say whether the demo was still running, so a script can check that it waited.
    if kill -TERM "$pid" 2>/dev/null; then touch "$tmp/terminated_running"; fi
  fi
  wait "$pid"
  echo $? >"$tmp/rc"
} ; } 2>"$tmp/time"
rc=$(cat "$tmp/rc")
# Appended only now: the demo's own writes to the log would overwrite a line added while it runs.
[ -f "$tmp/terminated_running" ] && echo "e2e: SIGTERM an laufendes Programm" >>"$log"
read -r wall user sys <"$tmp/time"

cat "$log"
echo "e2e: exit $rc, wall ${wall}s, cpu $(awk -v u="$user" -v s="$sys" 'BEGIN{print u+s}')s"

failed=0
complain() { echo "FAIL: $*"; failed=1; }
[ "$rc" = 124 ] && complain "timed out after ${timeout_s}s"
[ "$rc" = "$expect_exit" ] || complain "exit code $rc, expected $expect_exit"
for text in "${expect[@]}"; do grep -qF -- "$text" "$log" || complain "missing in log: $text"; done
for re in "${expect_re[@]}"; do grep -qE -- "$re" "$log" || complain "no log line matches: $re"; done
for text in "${reject[@]}"; do grep -qF -- "$text" "$log" && complain "unexpected in log: $text"; done
for re in "${reject_re[@]}"; do grep -qE -- "$re" "$log" && complain "unexpected log line: $re"; done
# A sanitizer report fails every test, also those that expect exit code 1.
grep -qE -- 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$log" && complain "sanitizer report"
[ -f "$tmp/gate_fail" ] && complain "$(cat "$tmp/gate_fail")"
for spec in "${file_re[@]}"; do
  file="${spec%% *}"
  re="${spec#* }"
  [ -f "$file" ] || { complain "file missing: $file"; continue; }
  grep -qP -- "$re" "$file" || { complain "no line of $file matches: $re"; cat -A "$file"; }
done
for spec in "${file_lines[@]}"; do
  read -r file count <<<"$spec"
  [ -f "$file" ] || { complain "file missing: $file"; continue; }
  n=$(wc -l <"$file")
  [ "$n" = "$count" ] || complain "$file has $n lines, expected $count"
done
exit $failed
