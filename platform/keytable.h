// The game's keys by the names each machine knows them by: one table for
// the desktop and the page, so a key the game learns, both machines learn.
// A row without a name on a machine leaves that key to that machine's own
// uses: the page takes only the keys the game plays with, for in a browser
// Tab moves the focus, Backspace goes back and the other letters, the
// digits and the modifiers start its shortcuts; the desktop's window is
// the game's alone, and takes every letter, digit and modifier.
//
// Not for the game: it sees platform.h only.
#pragma once

#include <span>

struct KeyName {
    int key;              // the game's key code (engine/keys.h)
    const char* page;     // the browser's KeyboardEvent.code, the key's place on the keyboard; null: not the page's
    const char* desktop;  // SDL's name of the key, as SDL_GetKeyFromName reads it; null: not the desktop's
};

// Several rows may give one key: Enter and keypad Enter, left and right Shift.
extern const std::span<const KeyName> keytable;
