#!/usr/bin/env bash
# Builds the game for the browser into build-web/ (index.html with
# quillmoor.js and quillmoor.wasm, and backup.js for the page's backup
# controls) and serves it at http://127.0.0.1:8000/.
#   bash tools/web.sh           install what is missing, build, serve
#   bash tools/web.sh --build   install what is missing, build
# Any static file server will do for the page; it needs no special headers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh --web
# Debian's Emscripten finds its JavaScript parser there.
export NODE_PATH=/usr/share/nodejs

# The tools that run during the build are built for this machine first.
cmake -S . -B build-host -DCMAKE_BUILD_TYPE=Release -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF >/dev/null
cmake --build build-host --target embedfiles decodepictures appicon -j"$(nproc)"
# The backup controls' zip library and bundler, as pinned in platform/web.
(cd platform/web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DQUILLMOOR_HOST_TOOLS="$PWD/build-host" >/dev/null
cmake --build build-web -j"$(nproc)"

[ "${1:-}" = "--build" ] && exit 0
echo "Quillmoor: http://127.0.0.1:8000/"
cd build-web
exec python3 -m http.server 8000 --bind 127.0.0.1
