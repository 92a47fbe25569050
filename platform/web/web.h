// What the parts of the page's backend share among themselves, and the
// page's side they call: the functions of library_web.js, the game's own
// JavaScript, which Emscripten links in (--js-library, web.cmake).
#pragma once

#include <cstdint>

#include "platform/backend.h"

// The browser: the frame on a canvas, the window's key events, sounds
// through Web Audio, the files in the browser's own storage, the clock and
// the end (backend_web.cpp, window_web.cpp, keys_web.cpp, sound_web.cpp).
class WebMachine : public LiveMachine {
public:
    bool OpenWindow(int width, int height, int depth, int hertz, int flags) override;
    void SetCaption(const char* text) override;
    void Present(int sync) override;
    bool LoadSound(TSound& sound, const char* path) override;
    void PlaySound(const TSound& sound) override;
    void Progress(uint64_t done, uint64_t total) override;
    int32_t ClockMs() override;
    [[noreturn]] void EndProgram(int code) override;
    // The game's loops are left by the page's own unwinding (no C++
    // exceptions in the page): see WebStartOver.
    [[noreturn]] void StartOver() override;

protected:
    void PumpEvents() override;
};

// The game's window is open: the canvas shows its frames and its keys are
// taken (window_web.cpp). A replay checked with no window (#verify=) never
// opens it.
bool WindowOpen();
// The frame on the canvas shown again, and the browser given its turn until
// its next frame (or at once, without vsync).
void ShowFrame(int sync);
// Hands the game's keys to the page, which takes them from now on
// (keys_web.cpp).
void TakeKeys();
// Makes the first sound still to be made, if any (sound_web.cpp).
void MakeNextSound();

// ---------------------------------------------------------------- library_web.js
extern "C" {
// The window and its frames.
void WebOpenCanvas();
void WebTitle(const char* title);
void WebPresent(const void* bytes, int width, int height);
// Returns at the browser's next animation frame (an asynchronous import).
void WebNextFrame();
void WebFlipped(int count);
void WebFrameTime(double ms);
// The keys: the page takes the key `code` (KeyboardEvent.code) as `key`,
// once it listens. Its events: -1 when none is left.
void WebTakeKey(const char* code, int key);
void WebListenForKeys();
int WebNextEvent();
// The sounds: a sound's samples handed over (its id, from 1), and played.
int WebLoadSound(const char* name, const int16_t* samples, int count, int rate);
void WebPlaySound(int id);
// The saves: a job per save, asked after until it has an answer (-1 while
// under way, 0 failed, 1 kept).
int WebKeepStart(const char* paths);
int WebKeepResult(int job);
// The replay's zlib: the packed size (-1: none that fits), and whether the
// block inflated to exactly `rawsize` bytes.
int WebDeflate(const uint8_t* data, int size, uint8_t* out, int room);
int WebInflate(const uint8_t* data, int size, uint8_t* out, int rawsize);
// "Save replay": the page may ask the game for its replay from now on.
void WebOfferReplay();
// A replay checked with no window has got so far.
void WebChecking(double done, double total);
// The game has ended.
void WebEnded();
// The game starts over (a replay sought back): the page unwinds every
// frame of the game's loops and, at once, runs the game from its start
// again on a stack put back to its base. Never returns.
[[noreturn]] void WebStartOver(double stackbase);
}
