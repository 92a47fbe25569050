#!/usr/bin/env bash
# The Windows installer, as a player uses it, under wine: it installs with
# no questions asked (/S), in Program Files, with a Start menu shortcut and
# an entry under installed apps naming its icon and version; the installed
# game keeps its world in %APPDATA%\Quillmoor; a kill in the middle of a
# save loses nothing; and uninstalling takes the game away and leaves the
# player's worlds.
#
#   bash tests/windows/install_test.sh SETUP.EXE VERSION
#
# Run by tools/windows.sh --test, with wine started and a display at hand.
# Prints "ok: ..." or "FAILED: ..." for each check, and last "N passed, M failed".
set -uo pipefail
setup=$(realpath "$1") version=$2
work=$(mktemp -d)
source "$(dirname "$0")/common.sh"
game=""
trap '[ -n "$game" ] && kill -9 "$game" 2>/dev/null; rm -rf "$work"' EXIT

installed="$WINEPREFIX/drive_c/Program Files/Quillmoor"
wine "$setup" /S
check $([ -f "$installed/quillmoor.exe" ] && [ -f "$installed/README.txt" ] && [ -f "$installed/LICENSE.txt" ]; echo $?) \
  "/S installs the game, its README and licence in Program Files"
shortcut=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Quillmoor.lnk' | head -1)
check $([ -n "$shortcut" ]; echo $?) "a Start menu shortcut starts it"
entry=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmoor' 2>/dev/null | tr -d '\r')
check $(grep -q "DisplayName *REG_SZ *Quillmoor$" <<<"$entry" && grep -q "DisplayVersion *REG_SZ *$version$" <<<"$entry" &&
        grep -q 'DisplayIcon *REG_SZ *C:\\Program Files\\Quillmoor\\quillmoor.exe' <<<"$entry"; echo $?) \
  "installed apps list it with its icon and version $version"

appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
world="$appdata/Quillmoor/worlds/Defaultia"
said() { grep -q "$1" "$work/out.txt"; }
ended() { ! kill -0 "$game" 2>/dev/null; }
# The installed game started as the shortcut starts it, from its own folder.
start() {
  : >"$work/out.txt"
  (cd "$installed" && exec wine quillmoor.exe >"$work/out.txt" 2>"$work/err.txt") &
  game=$!
  wait_for 60 find_window && sleep 1
}
close() {
  xdotool key --window "$window" alt+F4
  wait_for 60 ended
  game=""
}

start
xdotool key --window "$window" x
wait_for 60 said "entering encounter type: 3"
check $? "the installed game begins a world"
xdotool keydown --window "$window" Escape
wait_for 60 said "leaving encounter type: 3"
xdotool keyup --window "$window" Escape
close
check $([ "$(stat -c %s "$world/overworld" 2>/dev/null)" = 524296 ] && [ "$(stat -c %s "$world/player" 2>/dev/null)" = 153 ] &&
        [ ! -e "$installed/worlds" ]; echo $?) "it keeps the world in %APPDATA%\\Quillmoor, not where it is installed"
map=$(md5sum <"$world/overworld")

# Killed the moment its next save begins: the next start finds the world
# whole, old or new, never made anew nor half of each.
start
xdotool key --window "$window" x   # Begin: the world is loaded
sleep 1
xdotool key --window "$window" Escape   # on the overworld: save, and the title
wait_for 60 said "saving world"
kill -9 "$game" 2>/dev/null; wait "$game" 2>/dev/null
wineserver -k 2>/dev/null; wineserver -p 2>/dev/null; wineboot >/dev/null 2>&1
game=""
start
xdotool key --window "$window" x
sleep 2
close
check $(! said "entering encounter type: 3" && [ "$(md5sum <"$world/overworld")" = "$map" ] &&
        [ "$(stat -c %s "$world/player")" = 153 ] && [ -z "$(find "$world" -name '*.tmp' -o -name commit)" ]; echo $?) \
  "a kill in the middle of a save loses nothing: the world loads whole at the next start"

wine "$installed/Uninstall.exe" /S
gone() { [ ! -e "$installed/quillmoor.exe" ]; }
wait_for 60 gone
check $? "/S uninstalls the game"
check $([ -s "$world/overworld" ] && [ -s "$world/player" ]; echo $?) "uninstalling leaves the player's worlds"
rm -rf "$appdata/Quillmoor"

summary
