#!/usr/bin/env bash
# Sets everything up, builds the game with its tests and runs every test:
# the desktop's (ctest), the browser page's (in Chromium, Firefox ESR and
# WebKitGTK; the full suites in headless Chromium), Windows's (built with
# mingw-w64, run under wine), and the installable package's. What they need
# is installed first, from Debian's packages and the pinned npm packages,
# and each thing is set up and built once: the scripts it calls reuse it
# (tools/common.sh).
#   bash tools/test.sh             every test, the normal build in build/
#   bash tools/test.sh --desktop   only the desktop's tests
#   bash tools/test.sh --sanitize  the desktop's tests under AddressSanitizer and
#                                  UndefinedBehaviorSanitizer, in build-asan/
# The test that opens a real window runs under a virtual display when no
# display is at hand. It always ends with one line: what ran, what passed,
# and what was skipped and why.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-all}
case "$mode" in all | --desktop | --sanitize) ;; *)
  echo "usage: bash tools/test.sh [--desktop | --sanitize]" >&2
  exit 2 ;;
esac

source tools/common.sh
if [ "$mode" = all ]; then setup --web; else setup; fi

dir=build
if [ "$mode" = --sanitize ]; then
  dir=build-asan
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DQUILLMOOR_SANITIZE=ON -DQUILLMOOR_BENCH=OFF >/dev/null
  cmake --build "$dir" -j"$(nproc)"
else
  build_desktop
fi

run=(ctest --test-dir "$dir" --output-on-failure -j"$(nproc)")
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  run=(xvfb-run -a -s "-screen 0 1920x1080x24" "${run[@]}")
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"${run[@]}" 2>&1 | tee "$log" || status=1
desktop=$(sed -n 's/.* \([0-9]*\) tests failed out of \([0-9]*\).*/\2 ran, \1 failed/p' "$log" | tail -1)
ran="desktop ${desktop:-no result}"
skipped=()

if [ "$mode" = all ]; then
  # The page is built once here, for the browser's tests and the package's.
  build_page || echo "the page did not build"
  # The same game in the browser: in Chromium, Firefox ESR and WebKitGTK.
  bash tools/test_web.sh 2>&1 | tee "$log" || status=1
  web=$(awk '/^[0-9]+ passed, [0-9]+ failed(, [0-9]+ skipped)?$/ { p += $1; f += $3; s += $5 }
             END { print p + 0 " passed, " f + 0 " failed, " s + 0 " skipped" }' "$log")
  ran="$ran; browser $web"
  # Each check an engine cannot make says so on a line of its own.
  while IFS= read -r line; do skipped+=("${line#skipped in }"); done < <(grep '^skipped in ' "$log" || true)
  # The game built for Windows, its tests run under wine; a test that cannot
  # apply there says why in its own code (GTEST_SKIP), and is named here.
  bash tools/windows.sh --test 2>&1 | tee "$log" || status=1
  windows=$(sed -n 's/^windows tests: \([0-9]* ran, [0-9]* failed\).*/\1/p' "$log" | tail -1)
  ran="$ran; windows ${windows:-no result}"
  while IFS= read -r name; do skipped+=("windows: $name"); done < <(sed -n 's/^\s*[0-9]* - \(.*\) (Skipped)$/\1/p' "$log")
  # A test wine failed to start, which passed run again alone, is named too.
  while IFS= read -r name; do ran="$ran; windows: $name passed only when run again"; done < \
    <(sed -n 's/^windows: \(.*\) failed under wine, then passed when run again alone$/\1/p' "$log")
  # The session the Windows game recorded, checked by the page's own build.
  if ls build-windows/recorded/*.replay >/dev/null 2>&1 &&
     REPLAYS=build-windows/recorded REPLAYS_ONLY=1 node tests/web/replay_test.mjs build-web build/quillmoor 2>&1 | tee "$log"; then
    ran="$ran; the Windows replay in the page passed"
  else
    ran="$ran; the Windows replay in the page FAILED"; status=1
  fi
  # The installed game: its package checked and played from a throwaway root.
  if bash tools/test_package.sh 2>&1 | tee "$log"; then ran="$ran; package passed"
  else ran="$ran; package FAILED"; status=1; fi
elif [ "$mode" = --desktop ]; then
  skipped+=("the browser's, Windows's and the package's tests (--desktop)")
else
  skipped+=("the browser's, Windows's and the package's tests (they run in the normal build)")
fi

case "$mode" in all) what="tests" ;; --desktop) what="tests (the desktop's only)" ;; *) what="tests (sanitized)" ;; esac
summary="$what: $ran"
if [ ${#skipped[@]} -gt 0 ]; then
  summary="$summary; skipped: $(printf '%s; ' "${skipped[@]}")"
  summary="${summary%; }"
fi
[ $status -eq 0 ] && summary="$summary; all passed" || summary="$summary; SOME FAILED"
echo "$summary"
exit $status
