// The test machine: the same platform operations as the real one, but the
// clock is virtual (it advances by a chosen amount at every Flip), keys come
// from a script, the frame stays in memory and sounds are only recorded.
// Tests drive the game's real loops through it.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <string>
#include <vector>

namespace headless {

// Thrown by EndProgram, so a test can run the game to its very end.
struct ProgramEnded {
    int code = 0;
};
// Thrown by Flip when a test's frame budget is spent (a loop that never ends).
struct FlipLimitReached {};

// Forgets everything: keys, script, sounds, clock (back to 0), frame count,
// window; the frame step returns to 16 ms and the flip limit to a million;
// the game runs on this machine itself, with nothing in front of it.
void Reset();

// Milliseconds the virtual clock advances at every Flip.
void SetFrameMs(int ms);
// The machine's own clock instead of the virtual one (for benchmarks that
// time what a person watching would see); Reset goes back to the virtual.
void UseRealClock(bool real);
void AdvanceClock(int ms);
int32_t Now();

// For tests that run one update step's code themselves: what a loop does
// when a pass ends (its input may be taken again), and when the step clock
// grants a step (a new pass whose step takes the input).
void NextPass();
void NextStep();

// Keys and window events; they reach the game when it next takes its
// input, as the real window's events do: at an update step, or at the
// first keyboard question of a pass without one.
void KeyDown(int key);
void KeyUp(int key);
void Tap(int key);  // down and up again before the game looks
void FocusLost();
void RequestClose();

// Runs fn inside the Flip that presents frame number `frame` (counting from 1),
// after the frame is counted; or at every Flip.
void At(int frame, std::function<void()> fn);
void EveryFlip(std::function<void()> fn);
// Flips allowed before FlipLimitReached is thrown; 0 means no limit.
// A million by default, so a runaway loop fails instead of hanging.
void SetFlipLimit(int flips);

int Flips();
int LastSync();
uint32_t Pixel(int x, int y);  // 0xRRGGBB of the logical frame

// Sounds started since Reset, by their built-in names ("sfx\menu.wav").
const std::vector<std::string>& SoundsPlayed();
void ClearSounds();

struct Window {
    bool open = false;
    int width = 0, height = 0, depth = 0, hertz = 0;
    std::string caption;
};
const Window& GetWindow();
// Makes the next CreateGraphics fail, as a machine without a display would.
void FailNextWindow();

// What a long piece of work with no window (a replay checked) said of its
// progress since Reset: how far, of how much.
const std::vector<std::pair<uint64_t, uint64_t>>& ProgressShown();

}  // namespace headless
