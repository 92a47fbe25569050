// What the parts of the Windows machine share among themselves: the
// machine, its window's handle, and the sounds' output.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/backend.h"

// Windows itself: one window drawn with GDI, keys by their virtual-key
// codes, sounds through a mixer of its own into one waveOut output, the
// performance counter for the clock (backend_win32.cpp, window_win32.cpp,
// keys_win32.cpp, sound_win32.cpp).
class Win32Machine : public LiveMachine {
public:
    Win32Machine();
    bool OpenWindow(int width, int height, int depth, int hertz, int flags) override;
    void SetCaption(const char* text) override;
    void Present(int sync) override;
    bool LoadSound(TSound& sound, const char* path) override;
    void PlaySound(const TSound& sound) override;
    int32_t ClockMs() override;
    [[noreturn]] void EndProgram(int code) override;

protected:
    void PumpEvents() override;
    bool ErrorsToTerminal() override;
};

// The window, once it is open (null before).
HWND GameWindow();
// Its messages: keys, focus, the close button (keys_win32.cpp).
LRESULT CALLBACK WindowMessages(HWND window, UINT message, WPARAM w, LPARAM l);
// The desktop's own display mode back, if full screen changed it; and the
// game's again when the player comes back to it (window_win32.cpp).
void GiveDisplayBack();
void TakeDisplayAgain();
// The frame shown again as it was (the window was uncovered).
void ShowLastFrame();
// The sound output stopped and let go (sound_win32.cpp).
void CloseSound();
