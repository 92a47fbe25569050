#!/usr/bin/env bash
# Builds Quillmoor for Windows, from Debian, with mingw-w64 (into
# build-windows/): a 64-bit program that needs nothing beside it, and what
# players download, into dist/:
#   quillmoor-<version>-windows-x64.zip   the game, its README and licence
#   quillmoor-<version>-setup.exe         its installer (NSIS)
#   bash tools/windows.sh           install what is missing, build, make both
#   bash tools/windows.sh --build   install what is missing, build
#   bash tools/windows.sh --test    build, make both, and run the Windows tests under wine
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh
case "${1:-}" in "" | --build | --test) ;; *)
  echo "usage: bash tools/windows.sh [--build | --test]" >&2
  exit 2 ;;
esac

setup --windows
# Wine and every program it runs share one display: a virtual one of the
# tests' own when there is none.
if [ "${1:-}" = --test ] && [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x720x24" env QUILLMOOR_SETUP="${QUILLMOOR_SETUP:-}" \
    QUILLMOOR_BUILT="${QUILLMOOR_BUILT:-}" bash "$0" --test
fi
build_windows
[ "${1:-}" = --build ] && exit 0
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
mkdir -p dist
rm -f "dist/quillmoor-${version}-windows-x64.zip" "dist/quillmoor-${version}-setup.exe"
(cd build-windows && cpack >/dev/null)
ls -l "dist/quillmoor-${version}-windows-x64.zip" "dist/quillmoor-${version}-setup.exe"
[ "${1:-}" = --test ] || exit 0

# The Linux game's title frame and --verify, for the window test to hold
# the Windows game to.
build_desktop desktop_frame quillmoor >/dev/null
wine_up
log=$(mktemp)
trap 'rm -f "$log"; wineserver -k 2>/dev/null || true' EXIT
status=0
# The unit suite, the state list, and the real program's command line and
# replays, built for Windows.
if ! ctest --test-dir build-windows --output-on-failure -j"$(nproc)" 2>&1 | tee "$log"; then
  # Under wine on a loaded machine a program now and then does not start at
  # all (it prints nothing and is gone in a hundredth of a second). The
  # tests that failed run once more, alone; one that fails again fails, and
  # one that passes then is named, so it is never silent.
  again=$(mktemp)
  if ctest --test-dir build-windows --rerun-failed --output-on-failure 2>&1 | tee "$again"; then
    sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Failed)$/\1/p' "$log" |
      while read -r test; do echo "windows: $test failed under wine, then passed when run again alone"; done
    sed -i 's/ \([0-9]*\) tests failed out of / 0 tests failed out of /' "$log"
  else
    status=1
  fi
  rm -f "$again"
fi
ran=$(sed -n 's/.* \([0-9]*\) tests failed out of \([0-9]*\).*/\2 \1/p' "$log" | tail -1)
# The real window and the installer.
# The session the window test plays is kept, for the page to check too.
export WINDOWS_REPLAYS="$PWD/build-windows/recorded"
rm -rf "$WINDOWS_REPLAYS"
for script in "tests/windows/window_test.sh build-windows/quillmoor.exe build/tests/desktop_frame build/quillmoor" \
              "tests/windows/install_test.sh dist/quillmoor-${version}-setup.exe $version"; do
  # shellcheck disable=SC2086
  bash $script 2>&1 | grep -v '^XGetInputFocus' | tee -a "$log" || status=1
done
read -r total fails <<<"${ran:-0 0}"
scripts=$(awk '/^[0-9]+ passed, [0-9]+ failed$/ { p += $1; f += $3 } END { print p + f, f }' "$log")
read -r more morefails <<<"$scripts"
skips=$(grep -c '(Skipped)$' "$log" || true)
echo "windows tests: $((total + more)) ran, $((fails + morefails)) failed, $skips skipped"
exit $status
