#!/usr/bin/env bash
# The frame figures of the list and text programs (tools/probe/frame_figures.cpp) in a real X
# server: Xvfb, SDL's x11 driver, the software renderer (SDL_FRAMEBUFFER_ACCELERATION=0) and the
# OpenGL renderer, 800 x 600 windows. Every program runs RUNS times, round-robin, and the table
# gives the median of each figure. Then the demo's CPU per frame over SECONDS (frame-cost probe).
# Usage: tools/measure-frames.sh [build-dir] [runs] [seconds]
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-3}
secs=${3:-8}
program="$build/bench/tambergui-frame-figures"
costProbe="$build/bench/libtambergui-frame-cost-probe.so"
demo="$build/run/tambergui-demo"
[ -x "$program" ] || { echo "build the target tambergui-frame-figures first" >&2; exit 1; }
cd "$build/run"
raw=$(mktemp)
inner=$(mktemp)
trap 'rm -f "$raw" "$raw.load" "$inner"' EXIT

cat > "$inner" <<INNER
set -u
env_for() { if [ "\$1" = opengl ]; then echo "SDL_RENDER_DRIVER=opengl SDL_FRAMEBUFFER_ACCELERATION=1"; else echo "SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0"; fi; }
for i in \$(seq $runs); do
  for r in software opengl; do
    for m in "list 1000000" "list 10001" "text nowrap" "text wrap" "append nowrap" "append wrap" "widgets" "empty"; do
      tag=\$(echo "\$m" | tr ' ' '-')
      env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \$(env_for \$r) "$program" \$m 2>/dev/null |
        awk -v t="\$r \$tag" '{ for (k = 1; k < NF; k += 2) if (\$k ~ /-(ms|mib)\$/) print t, \$k, \$(k+1) }'
    done
    if [ -x "$demo" ]; then
      env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \$(env_for \$r) LD_PRELOAD="$costProbe" \
        timeout -s TERM $secs "$demo" 2>&1 >/dev/null | awk -v t="\$r demo" -v s=$secs \
        '/frame-cost/ { if (\$3 > 0) print t, "cpu-per-frame-ms", \$5/\$3; print t, "cpu-per-second-ms", \$5/s; print t, "frames-per-second", \$3/s }'
    fi
    echo "load \$(cut -d' ' -f1 /proc/loadavg)" >&2
  done
done
INNER
xvfb-run -a -s '-screen 0 1920x1080x24' bash "$inner" > "$raw" 2> "$raw.load"
# The machine's load while the runs went on: the figures are only as quiet as that.
grep '^load ' "$raw.load" | sort -g -k2 | awk 'NR == 1 {lo = $2} {hi = $2} END {print "load average during the runs: " lo " to " hi}'
rm -f "$raw.load"

# One line per renderer, program and figure: the median and the runs it came from.
awk '{ key = $1 " " $2 " " $3; v[key] = v[key] " " $4 }
     END { for (k in v) print k, v[k] }' "$raw" | sort |
  while read -r renderer prog figure values; do
    med=$(echo "$values" | tr ' ' '\n' | grep . | sort -g |
          awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}')
    printf '%-9s %-15s %-22s median %10s   runs: %s\n' "$renderer" "$prog" "$figure" "$med" "$values"
  done
