#!/usr/bin/env bash
# Measures the demo headless: time from exec to the first presented frame (median of N runs)
# on the software and the OpenGL renderer, and CPU time per frame and peak memory of an idle
# run. Usage: tools/measure-demo.sh [build-dir] [runs]
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-10}
probe="$build/bench/libtambergui-first-frame-probe.so"
demo="$build/run/tambergui-demo"
export SDL_VIDEODRIVER=offscreen SDL_FRAMEBUFFER_ACCELERATION=0 SDL_AUDIODRIVER=dummy
cd "$build/run"

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

first_frame() {  # renderer name, or empty for the default (OpenGL under offscreen)
  for _ in $(seq "$runs"); do
    FIRST_FRAME_T0=$EPOCHREALTIME SDL_RENDER_DRIVER=$1 LD_PRELOAD="$probe" "$demo" 2>&1 >/dev/null |
      awk '/first-frame-us/ {print $2}'
  done
}

for r in software opengl; do
  values=$(first_frame "$r" | tr '\n' ' ')
  echo "first frame ($r): median $(echo "$values" | tr ' ' '\n' | grep . | median) us; runs: $values"
done

# Idle: the process's whole CPU time over 10 s (start-up included) divided by the frames.
for r in software opengl; do
  secs=10
  read -r user sys maxrss < <(SDL_RENDER_DRIVER=$r /usr/bin/time -f '%U %S %M' \
      timeout -s TERM "$secs" "$demo" 2>&1 >/dev/null | tail -n 1)
  frames=$((secs * 60))
  awk -v u="$user" -v s="$sys" -v f="$frames" -v m="$maxrss" -v r="$r" 'BEGIN {
    printf "idle (%s): %.3f ms CPU per frame over %d frames, peak RSS %.1f MiB\n", r, (u+s)*1000/f, f, m/1024 }'
done
