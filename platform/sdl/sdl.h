// What the parts of the real machine share among themselves, and what a
// measuring program may ask of the window beyond the game's own operations.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/backend.h"

// The desktop: one window through SDL, its sounds through SDL_mixer, the
// clock, and the end of the program (backend_sdl.cpp, window_sdl.cpp,
// sound_sdl.cpp).
class SdlMachine : public LiveMachine {
public:
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

// How a finished frame reaches the window.
enum class PresentPath {
    Automatic,  // chosen when the window opens: the cheapest that shows the same pixels
    Texture,    // uploaded to the graphics card, which scales it
    Surface,    // scaled here into the window's own pixels
};

// Asks for a path before the window opens (measurements compare them); the
// game itself always lets the window choose.
void ChoosePresentPath(PresentPath path);
// The path in use once the window is open.
PresentPath PresentPathInUse();
const char* PresentPathName(PresentPath path);
// The window's pixels as last presented (0x00RRGGBB), to check that a path
// shows what the frame holds; false when they cannot be read back.
bool ReadPresented(std::vector<uint32_t>& pixels, int& width, int& height);

// The window's events reach the game through these (backend_sdl.cpp).
void WindowResized();

// Starts the video system on a driver that shows a window to a person,
// asking a busy or not yet started display again for about a second; false,
// with one line on stderr, when none answers (video_sdl.cpp).
bool StartVideo();

// Hears the display's connection break under a running game: the game is
// asked to close, as by the close button, so it saves where it can and ends
// instead of drawing on for nobody (display_sdl.cpp).
void WatchDisplay(struct SDL_Window* window);
// The display went away: the program ends with a failure code, and without
// touching the display again.
bool DisplayLost();

// Keeps the libraries' own complaints off standard error while it lives:
// the sound system's when there is no sound device, the video drivers' when
// there is no display. The player is better served by one line of ours.
class QuietErrors {
public:
    QuietErrors();
    ~QuietErrors();
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    int saved = -1;
};

// Opens the sound device once, quietly; false when there is none.
bool OpenSound();
void CloseSound();
