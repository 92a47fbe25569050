// The inner loops of drawing, written once over a vector width and compiled
// for each instruction set the game may meet (blit_sse2.cpp, blit_avx2.cpp);
// draw.cpp picks the widest the processor has.
//
// Rows are classed when a picture is loaded: a row with no holes is copied
// without looking at the screen beneath, a row of holes is skipped. The
// overworld's tiles have no holes at all and are 16 texels wide, so a whole
// solid frame of that width gets a loop with nothing left to decide.
#pragma once

#include <cstdint>

#include "engine/draw.h"

// A block of rows of a frame: n texels from each row, `rows` rows.
struct BlitJob {
    uint32_t* dst;
    const uint32_t* src;
    const uint8_t* rowkind;  // per source row: ROW_EMPTY, ROW_SOLID or ROW_MIXED
    uint8_t framekind;       // ROW_SOLID when every row of the frame is
    int n, rows, pitch;
    uint32_t r, g, b;  // the tint, 0..255 each; for a fill, the colour as a pixel in r
};

// A whole sprite draw (position already moved by the origin, colour already
// clamped) and a fill, for each instruction set.
using SpriteFn = void (*)(const TImage&, int x, int y, int frame, uint32_t r, uint32_t g, uint32_t b);
using FillFn = void (*)(const BlitJob&);
void SpriteSSE2(const TImage&, int, int, int, uint32_t, uint32_t, uint32_t);
void FillSSE2(const BlitJob&);
void SpriteAVX2(const TImage&, int, int, int, uint32_t, uint32_t, uint32_t);
void FillAVX2(const BlitJob&);

// Which loops DrawSprite, DrawRect and Cls use. The widest the processor has
// is chosen at start; the narrower ones only run on older processors, so the
// tests pick each in turn to hold them all to the same drawing rule.
enum class BlitLoops { Widest, SSE2, AVX2 };
// False, changing nothing, when the processor lacks those instructions.
bool UseBlitLoops(BlitLoops loops);

// texel x colour / 255 per component, truncated; opaque.
inline uint32_t TintTexel(uint32_t t, uint32_t r, uint32_t g, uint32_t b) {
    uint32_t tr = (t >> 16) & 255, tg = (t >> 8) & 255, tb = t & 255;
    return 0xFF000000u | (tr * r / 255) << 16 | (tg * g / 255) << 8 | (tb * b / 255);
}

// V supplies: Reg, N (texels per register), Load, Store, Splat, Holes (all
// ones where the texel is a hole), Select(holes, texel, screen), and
// Tint(state, texel) with MakeTint(r, g, b).
//
// Op is what becomes of one register of texels: copied, or tinted. The job
// is copied to locals first: the screen's texels may alias its fields as far
// as the compiler knows, which would reload them at every store.
template <class V, class Op>
inline void BlitRows(const BlitJob& j, const Op& op, uint32_t (*one)(uint32_t, const BlitJob&)) {
    uint32_t* dst = j.dst;
    const uint32_t* src = j.src;
    const int n = j.n, rows = j.rows, pitch = j.pitch;
    if (j.framekind == ROW_SOLID) {
        if (n == 16) {
            for (int row = 0; row < rows; ++row, dst += SCREENW, src += pitch)
                for (int i = 0; i < 16; i += V::N) V::Store(dst + i, op(V::Load(src + i)));
            return;
        }
        for (int row = 0; row < rows; ++row, dst += SCREENW, src += pitch) {
            int i = 0;
            for (; i + V::N <= n; i += V::N) V::Store(dst + i, op(V::Load(src + i)));
            for (; i < n; ++i) dst[i] = one(src[i], j);
        }
        return;
    }
    const uint8_t* kinds = j.rowkind;
    for (int row = 0; row < rows; ++row, dst += SCREENW, src += pitch) {
        const uint8_t kind = kinds[row];
        if (kind == ROW_EMPTY) continue;
        int i = 0;
        if (kind == ROW_SOLID) {
            for (; i + V::N <= n; i += V::N) V::Store(dst + i, op(V::Load(src + i)));
            for (; i < n; ++i) dst[i] = one(src[i], j);
            continue;
        }
        for (; i + V::N <= n; i += V::N) {
            typename V::Reg s = V::Load(src + i);
            V::Store(dst + i, V::Select(V::Holes(s), op(s), V::Load(dst + i)));
        }
        for (; i < n; ++i)
            if (src[i]) dst[i] = one(src[i], j);
    }
}

inline uint32_t CopyTexel(uint32_t t, const BlitJob&) { return t; }
inline uint32_t TintTexelOf(uint32_t t, const BlitJob& j) { return TintTexel(t, j.r, j.g, j.b); }

// Clips the frame to the screen and draws it; white takes the plain copy.
template <class V>
inline void Sprite(const TImage& image, int x, int y, int frame, uint32_t r, uint32_t g, uint32_t b) {
    const int w = image.cellw, h = image.cellh;
    const int x0 = x > 0 ? x : 0, x1 = x + w < SCREENW ? x + w : SCREENW;
    const int y0 = y > 0 ? y : 0, y1 = y + h < SCREENH ? y + h : SCREENH;
    if (x0 >= x1 || y0 >= y1) return;
    BlitJob j;
    j.src = image.Frame(frame) + (size_t)(y0 - y) * w + (x0 - x);
    j.dst = framebuffer + (size_t)y0 * SCREENW + x0;
    j.rowkind = image.rowkind.data() + (size_t)frame * h + (y0 - y);
    j.framekind = image.framekind[frame];
    j.n = x1 - x0;
    j.rows = y1 - y0;
    j.pitch = w;
    j.r = r;
    j.g = g;
    j.b = b;
    if ((r & g & b) == 255) {
        BlitRows<V>(j, [](typename V::Reg s) { return s; }, CopyTexel);
    } else {
        const typename V::TintState t = V::MakeTint(r, g, b);
        BlitRows<V>(j, [&t](typename V::Reg s) { return V::Tint(t, s); }, TintTexelOf);
    }
}

// Fills n pixels of each of `rows` rows with the colour held in j.r.
template <class V>
void Fill(const BlitJob& j) {
    const typename V::Reg c = V::Splat(j.r);
    uint32_t* dst = j.dst;
    const int n = j.n, rows = j.rows;
    const uint32_t pixel = j.r;
    for (int row = 0; row < rows; ++row, dst += SCREENW) {
        int i = 0;
        for (; i + V::N <= n; i += V::N) V::Store(dst + i, c);
        for (; i < n; ++i) dst[i] = pixel;
    }
}
