#!/usr/bin/env bash
# The Windows program in a real window, under wine on a virtual display,
# as a player meets it: the title's frame is the Linux game's pixel for
# pixel; the keyboard begins a world and walks in it; its sounds reach
# the sound device sample for sample; the close button saves the world and
# ends the program; and the session's replay, recorded on Windows, plays on
# Linux as it was played.
#
#   bash tests/windows/window_test.sh QUILLMOOR.EXE DESKTOP-FRAME LINUX-QUILLMOOR
#
# Run by tools/windows.sh --test, with wine started and a display at hand.
# Prints "ok: ..." or "FAILED: ..." for each check, and last "N passed, M failed".
set -uo pipefail
exe=$(realpath "$1") frame=$(realpath "$2") linux=$(realpath "$3")
work=$(mktemp -d)
source "$(dirname "$0")/common.sh"
game=""
trap '[ -n "$game" ] && kill "$game" 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT

# The window's pixels as shown, 8-bit RGB.
shot() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xwd -root -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" -depth 8 "rgb:$1"
}
title_shown() {
  shot "$work/shown.rgb" && cmp -s "$work/shown.rgb" "$work/title.rgb"
}

# The title as the Linux game draws it (the test machine, 5 frames in).
"$frame" "$work/title.rgba" 5 && convert -size 480x270 -depth 8 "rgba:$work/title.rgba" "rgb:$work/title.rgb"

mkdir -p "$work/data"
printf 'UPSCALING=1\r\nFULLSCREEN=0\r\nWORLDNAME=Defaultia\r\nVSYNC=1\r\n' >"$work/data/settings.ini"
# A sound device of the test's own: what the game plays is kept in a file
# as it reaches the device (16-bit, as the game plays it).
cat >"$work/asound.conf" <<CONF
pcm.!default {
  type file
  slave.pcm "null"
  file "$work/heard.raw"
  format "raw"
}
CONF
WINEDLLOVERRIDES="${WINEDLLOVERRIDES//;winealsa.drv=d/}" ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$work/asound.conf" \
  wine "$exe" --data "Z:$work/data" >"$work/out.txt" 2>"$work/err.txt" &
game=$!
wait_for 60 find_window
check $? "the program opens its window"
wait_for 30 title_shown
check $? "the title's frame is the Linux game's, pixel for pixel ($(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p'))"

# Right on the title moves to Change World with the menu's sound, the first
# the game plays; once it has been heard to its end, Left goes back to Begin.
sox "$(dirname "$0")/../../assets/sfx/menu.wav" -t raw -e signed -b 16 -c 1 "$work/menu.raw"
first_sound() { od -An -t d2 -v -w2 "$1" | awk '$1 != 0 { print NR - 1; exit }'; }
played() {
  local at
  at=$(first_sound "$work/heard.raw" 2>/dev/null)
  [ -n "$at" ] && [ "$(stat -c %s "$work/heard.raw")" -gt $(((at + $(stat -c %s "$work/menu.raw")) * 2)) ]
}
xdotool key --window "$window" Right
wait_for 30 played
xdotool key --window "$window" Left

# Begin: a new world, entered at home, saved as it is made.
xdotool key --window "$window" x
world="$work/data/worlds/Defaultia"
player_saved() { [ -s "$world/player" ]; }
wait_for 60 player_saved
check $? "X on Begin makes a world, saved at once"
# The home area the new world begins in: still while nothing is pressed,
# the player runs while the right arrow is held, and Escape leaves it.
said() { grep -q "$1" "$work/out.txt"; }
wait_for 30 said "entering encounter type: 3"
# Above the frame counter, the one thing that changes by itself.
view() { shot "$work/full.rgb" && head -c $((480 * 250 * 3)) "$work/full.rgb" >"$1"; }
still() { view "$work/a.rgb" && sleep 0.5 && view "$work/b.rgb" && cmp -s "$work/a.rgb" "$work/b.rgb"; }
wait_for 30 still
xdotool keydown --window "$window" Right
moved() { view "$work/c.rgb" && ! cmp -s "$work/c.rgb" "$work/b.rgb"; }
wait_for 30 moved
check $? "holding the right arrow runs the player"
xdotool keyup --window "$window" Right
xdotool keydown --window "$window" Escape
wait_for 60 said "leaving encounter type: 3"
check $? "Escape leaves the home area"
xdotool keyup --window "$window" Escape

# The close button (Alt+F4 gives the window the same close request): the
# game saves the area and the world, and ends by itself.
xdotool key --window "$window" alt+F4
ended() { ! kill -0 "$game" 2>/dev/null; }
wait_for 60 ended
wait "$game"
code=$?
game=""
areas=$(find "$world" -name '*,*' | wc -l)
check $([ $code = 0 ] && [ "$(stat -c %s "$world/overworld")" = 524296 ] && [ "$(stat -c %s "$world/player")" = 153 ] &&
        [ "$areas" -ge 1 ] && [ -z "$(find "$world" -name '*.tmp')" ]; echo $?) \
  "the close button saves the world whole and the program ends with 0 (ended with $code; $areas area files)"

# The first sound heard is the menu's, sample for sample as its WAV file
# holds it (the file's samples begin with silence, as the device's do).
lead=$(first_sound "$work/menu.raw")
start=$(first_sound "$work/heard.raw" 2>/dev/null)
check $([ -n "$start" ] && [ "$start" -ge "$lead" ] &&
        cmp -s <(tail -c +$(((start - lead) * 2 + 1)) "$work/heard.raw" | head -c "$(stat -c %s "$work/menu.raw")") "$work/menu.raw"
        echo $?) "the menu's sound reaches the sound device sample for sample"

# The session's replay, recorded on Windows, checked by the Linux game.
replay=$(ls "$work/data/replays/"*.replay 2>/dev/null | head -1)
verdict=$([ -n "$replay" ] && cd "$work" && "$linux" --verify "$replay")
check $([[ "$verdict" =~ ^replay\ ok:\ [0-9]+\ steps$ ]]; echo $?) \
  "the session's replay, recorded on Windows, plays on Linux as it was played (\"$verdict\")"
mkdir -p "${WINDOWS_REPLAYS:-$work/kept}" && [ -n "$replay" ] && cp "$replay" "${WINDOWS_REPLAYS:-$work/kept}/"

summary
