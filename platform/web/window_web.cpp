// The window: the 480x270 frame on the page's canvas, which the page scales
// by the largest whole factor that fits, and the game paced by the
// browser's animation frames.
#include <emscripten.h>

#include <cstdint>
#include <string>

#include "engine/draw.h"
#include "platform/web/web.h"

namespace {
// The frame in the canvas's byte order: red, green, blue, alpha.
uint32_t canvasbytes[SCREENW * SCREENH];
std::string caption = "Quillmoor";
bool windowopen = false;
// When the game last got the main thread back from the browser.
double resumed = 0;
// Frames the game has asked to show, counted as the test machine counts them.
int flips = 0;
}  // namespace

bool WindowOpen() { return windowopen; }

bool WebMachine::OpenWindow(int, int, int, int, int) {
    WebOpenCanvas();
    TakeKeys();
    WebTitle(caption.c_str());
    WebOfferReplay();
    windowopen = true;
    return true;
}

void WebMachine::SetCaption(const char* text) {
    caption = text;
    if (windowopen) WebTitle(text);
}

// The canvas bytes to the screen, the frame's time noted (how long it kept
// the page's main thread busy: update, drawing and presenting), and the
// browser given its turn.
void ShowFrame(int sync) {
    WebPresent(canvasbytes, SCREENW, SCREENH);
    if (resumed > 0) WebFrameTime(emscripten_get_now() - resumed);
    if (sync)
        WebNextFrame();
    else
        emscripten_sleep(0);
    resumed = emscripten_get_now();
}

void WebMachine::Present(int sync) {
    // The page can see how many frames the game has shown: the browser test
    // runs the page on a clock of its own, 16 ms a flip, as the test machine
    // runs, to hold the two games' frames to each other.
    WebFlipped(++flips);
    if (!windowopen) return;
    // 0xAARRGGBB words to the canvas's R, G, B, A bytes, always opaque.
    for (int i = 0; i < SCREENW * SCREENH; ++i) {
        const uint32_t p = framebuffer[i];
        canvasbytes[i] = 0xFF000000u | (p & 0x0000FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
    }
    ShowFrame(sync);
    MakeNextSound();
}
