// The inner loops of sprite drawing, written once over a vector width and
// compiled for each instruction set the game may meet (blit_sse2.cpp,
// blit_avx2.cpp); draw.cpp picks the widest the processor has.
//
// Rows are classed when a picture is loaded: a row with no holes is copied
// without looking at the screen beneath, a row of holes is skipped.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// A block of rows of a frame: n texels from each row, `rows` rows.
struct BlitJob {
    uint32_t* dst;
    const uint32_t* src;
    const uint8_t* rowkind;  // per source row: ROW_EMPTY, ROW_SOLID or ROW_MIXED
    int n, rows, pitch;
    uint32_t r, g, b;  // the tint, 0..255 each
};

using BlitFn = void (*)(const BlitJob&);
void BlitPlainSSE2(const BlitJob&);
void BlitTintedSSE2(const BlitJob&);
void BlitPlainAVX2(const BlitJob&);
void BlitTintedAVX2(const BlitJob&);

// texel x colour / 255 per component, truncated; opaque.
inline uint32_t TintTexel(uint32_t t, uint32_t r, uint32_t g, uint32_t b) {
    uint32_t tr = (t >> 16) & 255, tg = (t >> 8) & 255, tb = t & 255;
    return 0xFF000000u | (tr * r / 255) << 16 | (tg * g / 255) << 8 | (tb * b / 255);
}

// V supplies: Reg, N (texels per register), Load, Store, Holes (all ones
// where the texel is a hole), Select(holes, texel, screen), and Tint(state, texel).
// The job is copied to locals first: the screen's texels may alias its
// fields as far as the compiler knows, which would reload them every store.
template <class V>
void BlitPlain(const BlitJob& j) {
    uint32_t* dst = j.dst;
    const uint32_t* src = j.src;
    const int n = j.n, rows = j.rows, pitch = j.pitch;
    const uint8_t* kinds = j.rowkind;
    for (int row = 0; row < rows; ++row, dst += SCREENW, src += pitch) {
        const uint8_t kind = kinds[row];
        if (kind == ROW_EMPTY) continue;
        int i = 0;
        if (kind == ROW_SOLID) {
            for (; i + V::N <= n; i += V::N) V::Store(dst + i, V::Load(src + i));
            for (; i < n; ++i) dst[i] = src[i];
            continue;
        }
        for (; i + V::N <= n; i += V::N) {
            typename V::Reg s = V::Load(src + i);
            V::Store(dst + i, V::Select(V::Holes(s), s, V::Load(dst + i)));
        }
        for (; i < n; ++i)
            if (src[i]) dst[i] = src[i];
    }
}

template <class V>
void BlitTinted(const BlitJob& j) {
    const typename V::TintState t = V::MakeTint(j.r, j.g, j.b);
    uint32_t* dst = j.dst;
    const uint32_t* src = j.src;
    const int n = j.n, rows = j.rows, pitch = j.pitch;
    const uint32_t r = j.r, g = j.g, b = j.b;
    const uint8_t* kinds = j.rowkind;
    for (int row = 0; row < rows; ++row, dst += SCREENW, src += pitch) {
        const uint8_t kind = kinds[row];
        if (kind == ROW_EMPTY) continue;
        int i = 0;
        if (kind == ROW_SOLID) {
            for (; i + V::N <= n; i += V::N) V::Store(dst + i, V::Tint(t, V::Load(src + i)));
            for (; i < n; ++i) dst[i] = TintTexel(src[i], r, g, b);
            continue;
        }
        for (; i + V::N <= n; i += V::N) {
            typename V::Reg s = V::Load(src + i);
            V::Store(dst + i, V::Select(V::Holes(s), V::Tint(t, s), V::Load(dst + i)));
        }
        for (; i < n; ++i)
            if (src[i]) dst[i] = TintTexel(src[i], r, g, b);
    }
}
