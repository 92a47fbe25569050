// Keyboard state: a down flag and a count of presses per key code.
//
// A press is the key going down while the game thinks it is up. The
// system's auto-repeat reports a held key as down again and again; that adds
// nothing while the key is down, but after ClearKeys (which makes every key
// up) the next repeat of a key still held counts as a fresh press.
#include <cstring>

#include "platform/backend.h"
#include "platform/platform.h"

namespace {
uint8_t keydown[256];
int keypresses[256];
bool closerequest = false;

inline bool ValidKey(int key) { return key >= 0 && key < 256; }
}  // namespace

void KeyDownEvent(int key) {
    if (!ValidKey(key)) return;
    if (!keydown[key]) {
        keydown[key] = 1;
        ++keypresses[key];
    }
}

void KeyUpEvent(int key) {
    if (ValidKey(key)) keydown[key] = 0;
}

// A key let go while another window has the focus is never reported to us,
// so losing the focus lets go of every key rather than leave one held forever.
void FocusLostEvent() { std::memset(keydown, 0, sizeof keydown); }

void CloseEvent() { closerequest = true; }

int KeyPressed(int key) {
    PumpEvents();
    if (!ValidKey(key)) return 0;
    int n = keypresses[key];
    keypresses[key] = 0;
    return n;
}

bool KeyHeld(int key) {
    PumpEvents();
    return ValidKey(key) && keydown[key];
}

void ClearKeys() {
    PumpEvents();
    std::memset(keydown, 0, sizeof keydown);
    std::memset(keypresses, 0, sizeof keypresses);
}

bool ClosePending() {
    PumpEvents();
    return closerequest;
}

bool CloseRequested() {
    PumpEvents();
    bool r = closerequest;
    closerequest = false;
    return r;
}
