// Keyboard state: a down flag and a count of presses per key code.
//
// A press is the key going down while the game thinks it is up. The
// system's auto-repeat reports a held key as down again and again; that adds
// nothing while the key is down, but after ClearKeys (which makes every key
// up) the next repeat of a key still held counts as a fresh press.
//
// The keyboard changes only by the events applied to it. When they are
// taken is the seam's business: it is told of every question first.
#include "engine/keys.h"

#include <cstring>

namespace {
uint8_t keydown[256];
int keypresses[256];
bool closerequest = false;
void (*onquestion)() = nullptr;

inline bool ValidKey(int key) { return key >= 0 && key < 256; }

void Asked() {
    if (onquestion) onquestion();
}
}  // namespace

void OnKeyboardQuestion(void (*asked)()) { onquestion = asked; }

bool ApplyKeyEvent(uint32_t event) {
    const int key = (int)(event >> 2);
    switch (event & 3) {
    case KEYEVENT_DOWN:
        if (!ValidKey(key) || keydown[key]) return false;
        keydown[key] = 1;
        ++keypresses[key];
        return true;
    case KEYEVENT_UP:
        if (!ValidKey(key) || !keydown[key]) return false;
        keydown[key] = 0;
        return true;
    case KEYEVENT_FOCUS: {
        // A key let go while another window has the focus is never reported
        // to us, so losing the focus lets go of every key rather than leave
        // one held forever.
        bool any = false;
        for (uint8_t& d : keydown) {
            any = any || d;
            d = 0;
        }
        return any;
    }
    default:
        if (closerequest) return false;
        closerequest = true;
        return true;
    }
}

int KeyPressed(int key) {
    Asked();
    if (!ValidKey(key)) return 0;
    int n = keypresses[key];
    keypresses[key] = 0;
    return n;
}

bool KeyHeld(int key) {
    Asked();
    return ValidKey(key) && keydown[key];
}

void ResetKeyboard() {
    std::memset(keydown, 0, sizeof keydown);
    std::memset(keypresses, 0, sizeof keypresses);
    closerequest = false;
}

void ClearKeys() {
    Asked();
    std::memset(keydown, 0, sizeof keydown);
    std::memset(keypresses, 0, sizeof keypresses);
}

bool ClosePending() {
    Asked();
    return closerequest;
}

bool CloseRequested() {
    Asked();
    bool r = closerequest;
    closerequest = false;
    return r;
}
