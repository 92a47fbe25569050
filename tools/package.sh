#!/usr/bin/env bash
# Builds, from a clean tree, the two things a player or a host takes away,
# into dist/:
#   quillmoor_<version>_amd64.deb   the installable game (CMake's install rules,
#                                   CPack's DEB generator, dependencies from
#                                   dpkg-shlibdeps); install it with
#                                   apt install ./dist/quillmoor_<version>_amd64.deb
#   quillmoor-web-<version>.zip     the page, relative paths only: unpack it
#                                   on any static host, or at the root of an
#                                   upload folder, and it plays as it is
#   bash tools/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh --web
mkdir -p dist

# Built as Debian builds its own packages: optimised and hardened.
flags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DQUILLMOOR_PLAYER_DATA=ON \
  -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS) -Wl,-z,now" >/dev/null
cmake --build build-package -j"$(nproc)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-package/CMakeCache.txt)
rm -f "dist/quillmoor_${version}_amd64.deb"
(cd build-package && cpack -G DEB >/dev/null)

bash tools/web.sh --build >/dev/null
zip="$PWD/dist/quillmoor-web-${version}.zip"
rm -f "$zip"
(cd build-web && cmake -E tar cf "$zip" --format=zip \
  index.html quillmoor.js quillmoor.wasm backup.js sw.js manifest.webmanifest icon-192.png icon-512.png)
ls -l "dist/quillmoor_${version}_amd64.deb" "$zip"
