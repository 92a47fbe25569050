#!/usr/bin/env bash
# Installs what building and testing Quillmoor needs, from Debian's packages
# and the pinned npm packages, when it is missing. Safe and quick to run
# again: one look at what is installed, and each npm folder is installed
# again only when its lock file has changed.
#   bash tools/setup.sh             the desktop game, its tests, benchmarks and fuzzers
#   bash tools/setup.sh --package   the desktop game and what makes its Debian package
#   bash tools/setup.sh --page      the page's build: Emscripten, Node.js, its npm packages
#   bash tools/setup.sh --windows   the Windows build: mingw-w64 with zlib for it, wine to
#                                   run it, NSIS to make its installer
#   bash tools/setup.sh --web       everything tools/test.sh runs: all the above, Chromium,
#                                   Firefox ESR and WebKitGTK with the browser tests' npm
#                                   packages, and what checks the package
# The other scripts call it through tools/common.sh, which passes down what
# is already set up, so one run of tools/test.sh or .ci/run sets up once.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-desktop}

# What builds the desktop game, and so the tools every build runs.
build=(g++ cmake make pkg-config libsdl2-dev libsdl2-mixer-dev libpng-dev zlib1g-dev libx11-dev)
tests=(libgtest-dev libbenchmark-dev libxtst-dev xvfb xauth clang libclang-rt-14-dev)
# dpkg-shlibdeps finds the package's dependencies, with file's help.
package=(dpkg-dev file)
# Node.js with npm: any the machine has will do.
page=(emscripten)
command -v node >/dev/null && command -v npm >/dev/null || page+=(nodejs npm)
# The browsers the page is tested in: Chromium, Firefox ESR, and WebKitGTK's
# MiniBrowser through its WebDriver; Firefox plays its sound through a quiet
# PulseAudio server of the test's own.
checks=(chromium firefox-esr webkit2gtk-driver pulseaudio lintian desktop-file-utils appstream)
# Windows from Debian: the compiler and zlib for it, GoogleTest's sources to
# build its tests with, wine to run them, NSIS for the installer, and a
# virtual display with its keyboard and camera for the window's tests.
windows=(mingw-w64 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine wine64 nsis
         xvfb xauth xdotool x11-apps imagemagick sox)

npm_folders=()
case "$mode" in
  desktop) packages=("${build[@]}" "${tests[@]}") ;;
  --package) packages=("${build[@]}" "${package[@]}") ;;
  --page) packages=("${build[@]}" "${page[@]}"); npm_folders=(platform/web) ;;
  --windows) packages=("${build[@]}" "${windows[@]}") ;;
  --web) packages=("${build[@]}" "${tests[@]}" "${package[@]}" "${page[@]}" "${checks[@]}" "${windows[@]}")
         npm_folders=(platform/web tests/web) ;;
  *) echo "usage: bash tools/setup.sh [--package | --page | --windows | --web]" >&2; exit 2 ;;
esac

# One question to dpkg for all of them: those it does not list as installed are missing.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null | sed -n 's/ install ok installed$//p' || true)
missing=()
for p in "${packages[@]}"; do
  grep -qx "$p" <<<"$installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The npm packages as pinned by each folder's lock file; a copy of the lock
# file kept in node_modules says they are installed (npm ci starts afresh,
# and takes the copy away with the rest).
for folder in "${npm_folders[@]}"; do
  if ! cmp -s "$folder/package-lock.json" "$folder/node_modules/.installed-lock.json"; then
    (cd "$folder" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
    cp "$folder/package-lock.json" "$folder/node_modules/.installed-lock.json"
  fi
done
