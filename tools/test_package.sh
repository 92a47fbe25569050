#!/usr/bin/env bash
# The installed game's checks: builds the package (tools/package.sh) and the
# page's release (tools/web.sh --release) into dist/, then holds the package
# to the checks its ecosystem uses (lintian: no errors; the desktop entry and
# the AppStream metadata validated), plays the unpacked page, and installs the
# package into a throwaway root to play it there
# (tests/smoke/install_smoke.cpp: a fresh home, a read-only working folder).
# Sets up and builds what it needs itself; run by tools/test.sh, it reuses
# what that has already set up and built.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh
setup --web
bash tools/package.sh >/dev/null
bash tools/web.sh --release >/dev/null
# The desktop's frames for the browser test, and the install smoke test.
build_desktop desktop_frame quillmoor_smoke >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-package/CMakeCache.txt)
deb="$PWD/dist/quillmoor_${version}_amd64.deb"
status=0
say() { echo "$1: $2"; }

tags=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v "running with root privileges" || true)
[ -n "$tags" ] && echo "$tags"
if echo "$tags" | grep -q "^E: "; then say FAILED "lintian reports errors"; status=1; else say ok "lintian reports no errors"; fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
if desktop-file-validate "$root"/usr/share/applications/*.desktop; then say ok "desktop-file-validate"
else say FAILED "desktop-file-validate"; status=1; fi
if appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml; then say ok "appstreamcli validate"
else say FAILED "appstreamcli validate"; status=1; fi

# The page's release, unpacked as a host would: the whole browser test plays it.
web="$root/web"
mkdir -p "$web"
zip="$PWD/dist/quillmoor-web-${version}.zip"
(cd "$web" && cmake -E tar xf "$zip")
if node tests/web/browser_test.mjs "$web" build/tests/desktop_frame >/dev/null; then say ok "the page's release plays as unpacked"
else say FAILED "the page's release plays as unpacked"; status=1; fi
if node tests/web/offline_test.mjs "$web" >/dev/null; then say ok "the page's release holds every file it asks for, and plays offline"
else say FAILED "the page's release holds every file it asks for, and plays offline"; status=1; fi

# The installed copy played under a display (a virtual one when there is none).
run=()
[ -z "${DISPLAY:-}" ] && run=(xvfb-run -a -s "-screen 0 1920x1080x24")
QUILLMOOR_DEB="$deb" "${run[@]}" build/tests/quillmoor_smoke --gtest_filter='InstallSmoke.*' || status=1
exit $status
