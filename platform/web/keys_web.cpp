// The keys: the page's key events, named by the key's place on the keyboard
// (KeyboardEvent.code), so the game's keys stay where they are whatever the
// layout. The page learns which are the game's from the key table
// (platform/keytable.h) when the window opens.
#include "platform/keytable.h"
#include "platform/web/web.h"

void TakeKeys() {
    for (const KeyName& k : keytable)
        if (k.page) WebTakeKey(k.page, k.key);
    WebListenForKeys();
}

// The page's events in one number each: the key let go, the key pressed
// plus 256, or 512 when the page lost the keyboard.
void WebMachine::PumpEvents() {
    if (!WindowOpen()) return;
    for (int e = WebNextEvent(); e >= 0; e = WebNextEvent()) {
        if (e >= 512)
            FocusLostEvent();
        else if (e >= 256)
            KeyDownEvent(e - 256);
        else
            KeyUpEvent(e);
    }
}
