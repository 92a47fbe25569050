#!/usr/bin/env bash
# Sets everything up, builds the game and starts it. Settings and worlds are
# kept in the folder the game is started from: here, the project's root.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh
setup
build_desktop quillmoor
exec ./build/quillmoor
