#!/usr/bin/env bash
# Takes a screenshot of the demo headless (software renderer) after N frames.
# Usage: tools/screenshot.sh [build-dir] [out.png] [frames]
set -euo pipefail
build=$(realpath "${1:-build}")
out=$(realpath -m "${2:-docs/demo.png}")
mkdir -p "$(dirname "$out")"
cd "$build/run"
SDL_VIDEODRIVER=offscreen SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 \
  SCREENSHOT_FILE="$out" SCREENSHOT_FRAME="${3:-30}" \
  LD_PRELOAD="$build/bench/libtambergui-screenshot-probe.so" ./tambergui-demo
