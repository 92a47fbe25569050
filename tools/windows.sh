#!/usr/bin/env bash
# Builds Quillmoor for Windows, from Debian, with mingw-w64 (into
# build-windows/): a 64-bit program that needs nothing beside it.
#   bash tools/windows.sh           install what is missing, build
#   bash tools/windows.sh --test    build, and run the Windows tests under wine
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh
case "${1:-}" in "" | --test) ;; *)
  echo "usage: bash tools/windows.sh [--test]" >&2
  exit 2 ;;
esac

setup --windows
build_windows
[ "${1:-}" = --test ] || exit 0

wine_up
ctest --test-dir build-windows --output-on-failure -j"$(nproc)"
