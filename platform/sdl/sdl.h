// What the parts of the real machine share among themselves, and what a
// measuring program may ask of the window beyond the game's own operations.
#pragma once

#include <cstdint>
#include <vector>

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

// Opens the sound device once, quietly; false when there is none.
bool OpenSound();
void CloseSound();
