#!/usr/bin/env bash
# The browser test: builds the page (tools/web.sh --build), holds the page's
# scripts, the game's library and the tests to the contract between the page
# and the game (tests/web/contract_test.mjs), then plays what every engine
# must do in Chromium, Firefox ESR and WebKitGTK
# (tests/web/engines_test.mjs, once for each: WebKitGTK's MiniBrowser in a
# window, under a virtual display when there is none), then plays it in
# headless Chromium with real key events (tests/web/browser_test.mjs) and
# holds its frames to the desktop's, which the test machine draws
# (build/tests/desktop_frame); then that every file it asks for is served
# and kept offline (tests/web/offline_test.mjs); then the saves' tests (tests/web/saves_test.mjs),
# the backup controls' (tests/web/backup_test.mjs) and the replays'
# (tests/web/replay_test.mjs, against build/quillmoor --verify), the
# page's sound, its switch and what a phone asks of the page
# (tests/web/sound_test.mjs), and watching a replay in the page, in every
# engine again (tests/web/watch_test.mjs).
# Sets up and builds what it needs itself (puppeteer-core, installed by
# tools/setup.sh --web, drives the machine's own Chromium; it fetches no
# browser); run by tools/test.sh, it reuses what that has already set up and
# built.
#   bash tools/test_web.sh [SHOTS-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh
setup --web
build_page >/dev/null
build_desktop desktop_frame quillmoor record_replay >/dev/null
status=0
# Module as platform/web/contract.js declares it, in every file that uses it.
node tests/web/contract_test.mjs || status=1
# What the page must do in every engine.
for engine in chromium firefox webkit; do
  run=(node tests/web/engines_test.mjs build-web build/tests/desktop_frame)
  if [ $engine = webkit ] && [ -z "${DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1280x800x24" "${run[@]}")
  fi
  BROWSER=$engine "${run[@]}" || status=1
done
node tests/web/browser_test.mjs build-web build/tests/desktop_frame "${1:-}" || status=1
# Every file the page asks for is one its build lists: served, and kept offline.
node tests/web/offline_test.mjs build-web || status=1
# The saves in the browser's storage: two tabs, failing and full storage.
node tests/web/saves_test.mjs build-web || status=1
# The backup controls: a backup saved in one browser and restored in
# another, and wrong files refused.
node tests/web/backup_test.mjs build-web "${1:-}" || status=1
# The replays: the page's zlib, desktop replays checked by the page's own
# build, "Save replay" and what the desktop makes of its file.
node tests/web/replay_test.mjs build-web build/quillmoor "${1:-}" || status=1
# Sound from the player's first gesture, in a browser that asks for one as
# phones do; the sound switch, kept for the next visit; the home-screen
# icon; the full-screen button only where there is full screen.
node tests/web/sound_test.mjs build-web || status=1
# Watching a replay in the page: a link, a file chosen or dropped, the
# viewer's keys, seeks and a phone's taps, in each engine.
for engine in chromium firefox webkit; do
  run=(node tests/web/watch_test.mjs build-web build/quillmoor)
  if [ $engine = webkit ] && [ -z "${DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1280x800x24" "${run[@]}")
  fi
  BROWSER=$engine "${run[@]}" || status=1
done
exit $status
