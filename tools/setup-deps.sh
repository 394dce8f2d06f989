#!/usr/bin/env bash
# Installs the Debian packages the build needs when some are missing. As root it installs
# them with apt; otherwise it prints the exact command and stops.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libfreetype-dev libcairo2-dev libfontconfig-dev
  libutfcpp-dev libgtest-dev libbenchmark-dev ttf-bitstream-vera
  xvfb xauth xdotool
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get update && sudo $line" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive $line
