#!/usr/bin/env bash
# Installs what building and testing Quillmoor needs, from Debian's packages,
# when it is missing. Safe to run again: present packages are left alone.
#   bash tools/setup.sh         the desktop game, its tests and tools
#   bash tools/setup.sh --web   and the browser's build and its test, and the package tools
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  libsdl2-dev libsdl2-mixer-dev libpng-dev zlib1g-dev
  libgtest-dev libbenchmark-dev
  libx11-dev libxtst-dev xvfb xauth
  clang libclang-rt-14-dev
)
# Emscripten, Chromium, and Node.js with npm (any the machine has will do);
# and what makes and checks the installable package.
if [ "${1:-}" = "--web" ]; then
  packages+=(emscripten chromium dpkg-dev lintian desktop-file-utils appstream)
  command -v node >/dev/null && command -v npm >/dev/null || packages+=(nodejs npm)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
