#!/usr/bin/env bash
# The demo's CPU per frame in a real X server (Xvfb, SDL's x11 driver) on the software renderer
# (SDL_FRAMEBUFFER_ACCELERATION=0) and OpenGL, idle (no input; the demo still animates its
# gauges, image and cairo panel) and active (a script moves the pointer between controls, clicks
# and types), for one or two builds, round-robin, RUNS times; medians at the end.
# Usage: tools/measure-demo-frames.sh build/bench/libtambergui-frame-cost-probe.so SECONDS RUNS
#        tools/probe/demo_activity.txt NAME=BUILD-DIR [NAME=BUILD-DIR...]
set -euo pipefail
probe=$(realpath "$1"); secs=$2; runs=$3; script=$(realpath "$4"); shift 4
raw=$(mktemp); inner=$(mktemp)
trap 'rm -f "$raw" "$inner"' EXIT
{
  echo "set -u"
  echo "for i in \$(seq $runs); do"
  for spec in "$@"; do
    name=${spec%%=*}; dir=$(realpath "${spec#*=}")
    cat <<INNER
  for r in software opengl; do
    fb=0; [ \$r = opengl ] && fb=1
    for mode in idle active; do
      s=""; [ \$mode = active ] && s="$script"
      (cd "$dir/run" && env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=\$r \
        SDL_FRAMEBUFFER_ACCELERATION=\$fb GUI_DEMO_SCRIPT=\$s LD_PRELOAD="$probe" \
        timeout -s TERM $secs ./tambergui-demo 2>&1 >/dev/null) |
        awk -v t="$name \$r \$mode" -v s=$secs -v l="\$(cut -d' ' -f1 /proc/loadavg)" \
          '/frame-cost/ { w = \$11 / 1000; printf "%s cpu-per-frame-ms %.3f\n%s frames-per-s %.1f\n%s presents-per-s %.1f\n%s cpu-ms-per-s %.1f\n%s load %s\n", t, \$5/\$9, t, \$9/w, t, \$3/w, t, \$5/w, t, l }'
    done
  done
INNER
  done
  echo "done"
} > "$inner"
xvfb-run -a -s '-screen 0 1920x1080x24' bash "$inner" > "$raw"
awk '{ key = $1 " " $2 " " $3 " " $4; v[key] = v[key] " " $5 } END { for (k in v) print k, v[k] }' "$raw" | sort |
  while read -r name r mode fig values; do
    med=$(echo "$values" | tr ' ' '\n' | grep . | sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}')
    printf '%-7s %-9s %-7s %-18s median %9s   runs: %s\n' "$name" "$r" "$mode" "$fig" "$med" "$values"
  done
