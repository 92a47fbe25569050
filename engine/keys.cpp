// Keyboard state: a down flag and a count of presses per key code.
//
// A press is the key going down while the game thinks it is up. The
// system's auto-repeat reports a held key as down again and again; that adds
// nothing while the key is down, but after ClearKeys (which makes every key
// up) the next repeat of a key still held counts as a fresh press.
//
// The machine's events wait in a queue until the game takes its input
// (replay/session.cpp decides when): then each is applied, and those that
// changed something are what a replay records.
#include <cstring>

#include "platform/backend.h"
#include "engine/keys.h"
#include "replay/session.h"

namespace {
uint8_t keydown[256];
int keypresses[256];
bool closerequest = false;

// Far more than a pass ever brings; beyond it, further events are dropped.
constexpr int QUEUESIZE = 1024;
uint32_t queue[QUEUESIZE];
int queued = 0;

inline bool ValidKey(int key) { return key >= 0 && key < 256; }

void Queue(uint32_t event) {
    if (queued < QUEUESIZE) queue[queued++] = event;
}
}  // namespace

void KeyDownEvent(int key) {
    if (ValidKey(key)) Queue((uint32_t)key << 2 | KEYEVENT_DOWN);
}

void KeyUpEvent(int key) {
    if (ValidKey(key)) Queue((uint32_t)key << 2 | KEYEVENT_UP);
}

void FocusLostEvent() { Queue(KEYEVENT_FOCUS); }

void CloseEvent() { Queue(KEYEVENT_CLOSE); }

int TakeMachineEvents(uint32_t* out, int max) {
    const int n = queued < max ? queued : max;
    std::memcpy(out, queue, sizeof(uint32_t) * (size_t)n);
    std::memmove(queue, queue + n, sizeof(uint32_t) * (size_t)(queued - n));
    queued -= n;
    return n;
}

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
    session::TakeQueryInput();
    if (!ValidKey(key)) return 0;
    int n = keypresses[key];
    keypresses[key] = 0;
    return n;
}

bool KeyHeld(int key) {
    session::TakeQueryInput();
    return ValidKey(key) && keydown[key];
}

void ClearKeys() {
    session::TakeQueryInput();
    std::memset(keydown, 0, sizeof keydown);
    std::memset(keypresses, 0, sizeof keypresses);
}

bool ClosePending() {
    session::TakeQueryInput();
    return closerequest;
}

bool CloseRequested() {
    session::TakeQueryInput();
    bool r = closerequest;
    closerequest = false;
    return r;
}
