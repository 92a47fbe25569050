// Drawing into the logical frame. Every picture is masked: a hole is never
// written and every other texel is written opaque, multiplied by the drawing
// colour. The overworld draws some six hundred tiles a frame, so the common
// cases (white tint, whole rows) have their own tight paths.
#include <algorithm>

#include "engine/blit.h"
#include "engine/draw.h"

uint32_t framebuffer[SCREENW * SCREENH];

namespace {
int clsr = 0, clsg = 0, clsb = 0;
int colr = 255, colg = 255, colb = 255;
int originx = 0, originy = 0;
bool unseen = false;

inline int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Chosen once: the wider loops where the processor has them.
struct Blitters {
    SpriteFn sprite;
    FillFn fill;
};
#if defined(__x86_64__) || defined(__i386__)
bool HasAVX2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
Blitters AVX2Loops() { return {SpriteAVX2, FillAVX2}; }
#else
// Elsewhere (the browser's SIMD) only the SSE2 loops are built.
bool HasAVX2() { return false; }
Blitters AVX2Loops() { return {SpriteSSE2, FillSSE2}; }
#endif
Blitters ChooseBlitters() {
    if (HasAVX2()) return AVX2Loops();
    return {SpriteSSE2, FillSSE2};
}
Blitters blitters = ChooseBlitters();
}  // namespace

bool UseBlitLoops(BlitLoops loops) {
    switch (loops) {
    case BlitLoops::Widest:
        blitters = ChooseBlitters();
        return true;
    case BlitLoops::SSE2:
        blitters = {SpriteSSE2, FillSSE2};
        return true;
    case BlitLoops::AVX2:
        if (!HasAVX2()) return false;
        blitters = AVX2Loops();
        return true;
    }
    return false;
}

void DrawNothing(bool nothing) { unseen = nothing; }
bool DrawingNothing() { return unseen; }

void SetResolution(int, int) {
    // The logical screen is always 480 x 270; the backend scales it.
}

void SetClsColor(int r, int g, int b) {
    clsr = r;
    clsg = g;
    clsb = b;
}

void Cls() {
    if (unseen) return;
    BlitJob job{};
    job.dst = framebuffer;
    job.n = SCREENW;
    job.rows = SCREENH;
    job.r = 0xFF000000u | (uint32_t)Clamp255(clsr) << 16 | (uint32_t)Clamp255(clsg) << 8 | (uint32_t)Clamp255(clsb);
    blitters.fill(job);
}

void SetColor(int r, int g, int b) {
    colr = r;
    colg = g;
    colb = b;
}

void CurrentColor(int& r, int& g, int& b) {
    r = colr;
    g = colg;
    b = colb;
}

void SetDrawOrigin(int x, int y) {
    originx = x;
    originy = y;
}

void GetDrawOrigin(int& x, int& y) {
    x = originx;
    y = originy;
}

void DrawSprite(const TImage& image, int x, int y, int frame) {
    if (frame < 0 || frame >= image.frames || unseen) return;
    blitters.sprite(image, x + originx, y + originy, frame, (uint32_t)Clamp255(colr), (uint32_t)Clamp255(colg),
                    (uint32_t)Clamp255(colb));
}

void DrawRect(int x, int y, int w, int h) {
    if (unseen) return;
    // A negative size spans the other side of the corner.
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    x += originx;
    y += originy;
    const int x0 = std::max(x, 0), x1 = (int)std::min<long long>((long long)x + w, SCREENW);
    const int y0 = std::max(y, 0), y1 = (int)std::min<long long>((long long)y + h, SCREENH);
    if (x0 >= x1 || y0 >= y1) return;
    BlitJob job{};
    job.dst = framebuffer + (size_t)y0 * SCREENW + x0;
    job.n = x1 - x0;
    job.rows = y1 - y0;
    job.r = 0xFF000000u | (uint32_t)Clamp255(colr) << 16 | (uint32_t)Clamp255(colg) << 8 | (uint32_t)Clamp255(colb);
    blitters.fill(job);
}
