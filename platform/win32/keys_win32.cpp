// The window's messages. The game's key codes are Windows's virtual-key
// codes, so a key goes to the game as the system names it; only the keys
// the desktop plays with (the key table's) are taken, so a replay made here
// holds the same keys as one made on another machine.
#include <array>

#include "platform/keytable.h"
#include "platform/win32/win32.h"

namespace {
const std::array<bool, 256> TAKEN = [] {
    std::array<bool, 256> taken{};
    for (const KeyName& k : keytable)
        if (k.desktop && k.key >= 0 && k.key < 256) taken[(size_t)k.key] = true;
    return taken;
}();

bool Taken(WPARAM key) { return key < 256 && TAKEN[key]; }
}  // namespace

LRESULT CALLBACK WindowMessages(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (Taken(w)) KeyDownEvent((int)w);
        // Alt with F4 and the system's own keys still do what they do.
        if (message == WM_SYSKEYDOWN) break;
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (Taken(w)) KeyUpEvent((int)w);
        if (message == WM_SYSKEYUP) break;
        return 0;
    case WM_KILLFOCUS:
        // A key let go in another window is never told to this one.
        FocusLostEvent();
        return 0;
    case WM_ACTIVATEAPP:
        // Full screen gives the desktop its mode back while the player is
        // elsewhere, and takes it again on the way back.
        if (w)
            TakeDisplayAgain();
        else
            GiveDisplayBack();
        return 0;
    case WM_CLOSE:
        // The game closes itself, saving first, as for any close request.
        CloseEvent();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        ShowLastFrame();
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    default: break;
    }
    return DefWindowProcW(window, message, w, l);
}

void Win32Machine::PumpEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            CloseEvent();
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
