#!/usr/bin/env bash
# Sets everything up, builds the game and starts it. Settings and worlds are
# kept in the folder the game is started from: here, the project's root.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target quillmoor -j"$(nproc)"
exec ./build/quillmoor
