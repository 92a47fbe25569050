#!/usr/bin/env bash
# Sets everything up, builds the game with its tests and runs every test.
#   bash tools/test.sh             the normal build, in build/
#   bash tools/test.sh --sanitize  with AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/
# The test that opens a real window runs under a virtual display when no
# display is at hand. Where Emscripten and Chromium are installed (.ci/run
# installs them), the browser test runs too, and where the package tools are
# too, the package's checks and its install test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

dir=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DQUILLMOOR_SANITIZE=ON -DQUILLMOOR_BENCH=OFF)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"

run=(ctest --test-dir "$dir" --output-on-failure -j"$(nproc)")
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  run=(xvfb-run -a -s "-screen 0 1920x1080x24" "${run[@]}")
fi
"${run[@]}"

# The same game in the browser, when the machine can build and show it.
if [ "$dir" = build ] && command -v em++ >/dev/null && [ -x /usr/bin/chromium ]; then
  bash tools/test_web.sh
fi

# The installed game: its package checked and played from a throwaway root.
if [ "$dir" = build ] && command -v em++ >/dev/null && command -v lintian >/dev/null &&
   command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null; then
  bash tools/test_package.sh
fi
