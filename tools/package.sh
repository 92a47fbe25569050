#!/usr/bin/env bash
# Builds, from a clean tree, the installable game into dist/:
#   quillmoor_<version>_amd64.deb   CMake's install rules, CPack's DEB generator,
#                                   dependencies from dpkg-shlibdeps; install it
#                                   with apt install ./dist/quillmoor_<version>_amd64.deb
# It installs only what building the game and its package needs. The page's
# release is made by bash tools/web.sh --release.
#   bash tools/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh
setup --package
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
ls -l "dist/quillmoor_${version}_amd64.deb"
