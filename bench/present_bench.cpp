// What presenting one frame costs the game: processor time (the game's own,
// user and system) per presented frame at one scale, through the path the
// window chooses for itself or through a path asked for, with a check that
// the window then holds exactly the frame enlarged.
//
//   present_bench SCALE [automatic|texture|surface] [FRAMES]
//
// It needs a display; bench/present.sh runs it under a virtual one at the
// scales and paths worth comparing, and adds the display server's time.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/backend.h"
#include "engine/draw.h"
#include "platform/platform.h"
#include "platform/sdl/sdl.h"

namespace {
double Seconds(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

// A frame with every pixel different from its neighbours, so a pixel put
// in the wrong place shows.
void FillFrame(uint32_t seed) {
    for (int i = 0; i < SCREENW * SCREENH; ++i)
        framebuffer[i] = 0xFF000000u | ((uint32_t)i * 2654435761u + seed) >> 8;
}

bool SamePixels() {
    std::vector<uint32_t> shown;
    int w = 0, h = 0;
    if (!ReadPresented(shown, w, h)) return false;
    const int s = w / SCREENW < h / SCREENH ? w / SCREENW : h / SCREENH;
    const int left = (w - SCREENW * s) / 2, top = (h - SCREENH * s) / 2;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int fx = x - left, fy = y - top;
            const bool inside = fx >= 0 && fy >= 0 && fx < SCREENW * s && fy < SCREENH * s;
            const uint32_t want = inside ? framebuffer[(fy / s) * SCREENW + fx / s] & 0xFFFFFF : 0;
            if (shown[(size_t)y * w + x] != want) return false;
        }
    return true;
}
}  // namespace

// The window's events are taken and let go, as the game would take them.
void DrainEvents() {
    uint32_t events[MAXEVENTS];
    LiveMachine().Events(events, MAXEVENTS);
}

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY")) {
        std::printf("present_bench needs a display: bench/present.sh runs it under a virtual one\n");
        return 0;
    }
    const int scale = argc > 1 ? std::atoi(argv[1]) : 4;
    const char* path = argc > 2 ? argv[2] : "automatic";
    const int frames = argc > 3 ? std::atoi(argv[3]) : 600;
    if (scale < 1 || scale > 4 || frames < 1) return 2;
    if (std::strcmp(path, "texture") == 0) ChoosePresentPath(PresentPath::Texture);
    if (std::strcmp(path, "surface") == 0) ChoosePresentPath(PresentPath::Surface);
    SetWindowCaption("Quillmoor presenting");
    if (!CreateGraphics(SCREENW * scale, SCREENH * scale, 0, 60, 0)) return 1;

    FillFrame(0);
    for (int i = 0; i < 30; ++i) {
        Flip(0);
        DrainEvents();
    }
    const double cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID), wall0 = Seconds(CLOCK_MONOTONIC);
    for (int i = 0; i < frames; ++i) {
        framebuffer[i] ^= 0xFFFFFF;  // a frame that changes, as the game's do
        Flip(0);
        DrainEvents();
    }
    const double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0, wall = Seconds(CLOCK_MONOTONIC) - wall0;
    FillFrame(12345);
    Flip(0);
    const bool same = SamePixels();
    std::printf("x%d %-13s  %7.0f us processor time per presented frame  (%6.0f us elapsed)  same pixels: %s\n",
                scale, PresentPathName(PresentPathInUse()), cpu / frames * 1e6, wall / frames * 1e6,
                same ? "yes" : "NO");
    EndProgram();
}
