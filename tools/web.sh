#!/usr/bin/env bash
# Builds the game for the browser into build-web/ (the page's files as
# platform/web/web.cmake lists them: index.html, quillmoor.js and
# quillmoor.wasm, backup.js, sw.js, the manifest and its icons) and serves it
# at http://127.0.0.1:8000/.
#   bash tools/web.sh             install what is missing, build, serve
#   bash tools/web.sh --build     install what is missing, build
#   bash tools/web.sh --release   install what is missing, build, and zip the
#                                 page's release into dist/quillmoor-web-<version>.zip
# Any static file server will do for the page; it needs no special headers.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh
case "${1:-}" in "" | --build | --release) ;; *)
  echo "usage: bash tools/web.sh [--build | --release]" >&2
  exit 2 ;;
esac

# Built already in this run (tools/test.sh builds it once for every test).
if ! built build-web; then
  setup --page
  # Debian's Emscripten finds its JavaScript parser there.
  export NODE_PATH=/usr/share/nodejs
  # The tools that run during the build are built for this machine first.
  build_host_tools
  emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DQUILLMOOR_HOST_TOOLS="$PWD/build-host" >/dev/null
  cmake --build build-web -j"$(nproc)"
fi

case "${1:-}" in
  --build) exit 0 ;;
  --release)
    # The files the page's build installs, zipped with relative paths only.
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-web/CMakeCache.txt)
    rm -f "dist/quillmoor-web-${version}.zip"
    (cd build-web && cpack -G ZIP >/dev/null)
    ls -l "dist/quillmoor-web-${version}.zip"
    exit 0 ;;
esac
echo "Quillmoor: http://127.0.0.1:8000/"
cd build-web
exec python3 -m http.server 8000 --bind 127.0.0.1
