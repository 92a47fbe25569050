// The keyboard as the game sees it: presses counted and keys held, changed
// only by the key events it is given.
#pragma once

#include <cstdint>

// Key codes of the keyboard table.
enum : int {
    KEY_BACKSPACE = 8, KEY_TAB = 9, KEY_ENTER = 13, KEY_SHIFT = 16, KEY_CONTROL = 17, KEY_ALT = 18,
    KEY_ESCAPE = 27, KEY_SPACE = 32, KEY_PAGEUP = 33, KEY_PAGEDOWN = 34, KEY_END = 35, KEY_HOME = 36,
    KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40,
    KEY_0 = 48, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9,
    KEY_A = 65, KEY_D = 68, KEY_O = 79, KEY_P = 80, KEY_S = 83, KEY_W = 87, KEY_X = 88, KEY_Z = 90,
    KEY_PERIOD = 190,
};

int KeyPressed(int key);
bool KeyHeld(int key);
void ClearKeys();
bool CloseRequested();
// A close request is waiting, left for the loop that ends the game to take.
// Screens nested inside play close on it, so the request reaches that loop
// at once instead of waiting for the player to leave the screen.
bool ClosePending();
// The keyboard as a program just started has it: nothing held, nothing
// pressed, no close asked for. Unlike the questions above it takes no input.
void ResetKeyboard();

// A key event in one word: the key code times four plus its kind.
enum : uint32_t { KEYEVENT_DOWN = 0, KEYEVENT_UP = 1, KEYEVENT_FOCUS = 2, KEYEVENT_CLOSE = 3 };
// Applies one event to the keyboard; true when it changed what the game
// sees (a press of a key already down changes nothing).
bool ApplyKeyEvent(uint32_t event);
// Called at every keyboard question above, before it is answered: whoever
// feeds the keyboard (the seam) takes the pass's input at the first one.
void OnKeyboardQuestion(void (*asked)());
