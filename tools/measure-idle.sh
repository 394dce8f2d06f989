#!/usr/bin/env bash
# Measures what an application that draws on demand costs while nothing changes, in a real X
# server (Xvfb, SDL's x11 driver), on the software and the OpenGL renderer: CPU time and
# wake-ups over an idle period, the same with a blinking caret, and the time from a typed key
# to its presented frame. Then the demo's CPU per frame (it draws every frame).
# Usage: tools/measure-idle.sh [build-dir] [seconds] [runs]
set -euo pipefail
build=$(realpath "${1:-build}")
secs=${2:-5}
runs=${3:-3}
probe="$build/bench/tambergui-idle-cost"
costProbe="$build/bench/libtambergui-frame-cost-probe.so"
demo="$build/run/tambergui-demo"
[ -x "$probe" ] || { echo "build the target tambergui-idle-cost first" >&2; exit 1; }
cd "$build/run"

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat > "$inner" <<INNER
set -u
for r in software opengl; do
  fb=0; [ \$r = opengl ] && fb=1
  for i in \$(seq $runs); do
    for mode in idle caret; do
      echo "\$r: \$(SDL_VIDEODRIVER=x11 SDL_RENDER_DRIVER=\$r SDL_FRAMEBUFFER_ACCELERATION=\$fb "$probe" \$mode $secs)  load \$(cut -d' ' -f1 /proc/loadavg)"
    done
    echo "\$r: \$(SDL_VIDEODRIVER=x11 SDL_RENDER_DRIVER=\$r SDL_FRAMEBUFFER_ACCELERATION=\$fb "$probe" latency 15)"
    if [ -x "$demo" ]; then
      echo "\$r: demo \$(SDL_VIDEODRIVER=x11 SDL_RENDER_DRIVER=\$r SDL_AUDIODRIVER=dummy LD_PRELOAD="$costProbe" timeout -s TERM 8 "$demo" 2>&1 >/dev/null | grep frame-cost | awk '{printf "%.2f ms CPU per frame over %d frames", \$5/\$3, \$3}')"
    fi
  done
done
INNER
xvfb-run -a -s '-screen 0 1920x1080x24' bash "$inner"
