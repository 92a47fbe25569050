// The keyboard as the game sees it: presses counted and keys held, fed by
// the machine's events when the game takes its input.
#pragma once

// Key codes of the keyboard table.
enum : int {
    KEY_BACKSPACE = 8, KEY_TAB = 9, KEY_ENTER = 13, KEY_SHIFT = 16, KEY_CONTROL = 17, KEY_ALT = 18,
    KEY_ESCAPE = 27, KEY_SPACE = 32, KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40,
    KEY_0 = 48, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9,
    KEY_A = 65, KEY_D = 68, KEY_O = 79, KEY_P = 80, KEY_S = 83, KEY_W = 87, KEY_X = 88, KEY_Z = 90,
};

int KeyPressed(int key);
bool KeyHeld(int key);
void ClearKeys();
bool CloseRequested();
// A close request is waiting, left for the loop that ends the game to take.
// Screens nested inside play close on it, so the request reaches that loop
// at once instead of waiting for the player to leave the screen.
bool ClosePending();
