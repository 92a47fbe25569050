// What presenting one frame costs the Windows machine: processor time (the
// program's own, user and kernel) and elapsed time per presented frame at
// one scale, for a frame that changes every time, as the game's do. Built
// with the Windows game only (platform/win32/win32.cmake), as
// present_win32_bench.exe; run it under wine beside bench/present.sh on the
// same machine to compare the two machines.
//
//   present_win32_bench SCALE [FRAMES]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "engine/draw.h"
#include "platform/platform.h"

namespace {
double ProcessorSeconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto seconds = [](FILETIME t) { return (double)((uint64_t)t.dwHighDateTime << 32 | t.dwLowDateTime) / 1e7; };
    return seconds(kernel) + seconds(user);
}

double Seconds() {
    LARGE_INTEGER f, now;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart / (double)f.QuadPart;
}
}  // namespace

int main(int argc, char** argv) {
    const int scale = argc > 1 ? std::atoi(argv[1]) : 2;
    const int frames = argc > 2 ? std::atoi(argv[2]) : 600;
    if (scale < 1 || scale > 4 || frames < 1) return 2;
    SetWindowCaption("Quillmoor presenting");
    if (!CreateGraphics(SCREENW * scale, SCREENH * scale, 0, 60, 0)) return 1;
    for (int i = 0; i < SCREENW * SCREENH; ++i) framebuffer[i] = 0xFF000000u | ((uint32_t)i * 2654435761u) >> 8;
    for (int i = 0; i < 30; ++i) Flip(0);
    const double cpu0 = ProcessorSeconds(), wall0 = Seconds();
    for (int i = 0; i < frames; ++i) {
        framebuffer[i] ^= 0xFFFFFF;
        Flip(0);
    }
    const double cpu = ProcessorSeconds() - cpu0, wall = Seconds() - wall0;
    std::printf("x%d win32 GDI  %7.0f us processor time per presented frame  (%6.0f us elapsed)\n", scale,
                cpu / frames * 1e6, wall / frames * 1e6);
    std::fflush(stdout);
    EndProgram(0);
}
