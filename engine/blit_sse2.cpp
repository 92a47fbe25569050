// Sprite loops four texels at a time; every x86-64 processor has these.
#include <emmintrin.h>

#include "engine/blit.h"

namespace {
struct SSE2 {
    using Reg = __m128i;
    static constexpr int N = 4;
    struct TintState {
        __m128i lowbytes, highbytes, mulrb, mulga, one, k257;
    };
    static Reg Load(const uint32_t* p) { return _mm_loadu_si128((const __m128i*)p); }
    static void Store(uint32_t* p, Reg v) { _mm_storeu_si128((__m128i*)p, v); }
    static Reg Splat(uint32_t c) { return _mm_set1_epi32((int)c); }
    static Reg Holes(Reg s) { return _mm_cmpeq_epi32(s, _mm_setzero_si128()); }
    static Reg Select(Reg holes, Reg texel, Reg screen) {
        return _mm_or_si128(_mm_andnot_si128(holes, texel), _mm_and_si128(holes, screen));
    }
    static TintState MakeTint(uint32_t r, uint32_t g, uint32_t b) {
        return {_mm_set1_epi32(0x00FF00FF), _mm_set1_epi32((int)0xFF00FF00u), _mm_set1_epi32((int)(r << 16 | b)), _mm_set1_epi32((int)(0xFF000000u | g << 8)),
                _mm_set1_epi16(1), _mm_set1_epi16(257)};
    }
    // Red and blue sit in the low bytes of 16-bit lanes and share one
    // multiply; green and alpha sit in the high bytes, where a high-half
    // multiply by the colour shifted up gives their products directly.
    // x / 255 is ((x + 1) * 257) >> 16 for every product of two bytes.
    static Reg Tint(const TintState& t, Reg s) {
        Reg rb = _mm_mullo_epi16(_mm_and_si128(s, t.lowbytes), t.mulrb);
        Reg ga = _mm_mulhi_epu16(_mm_and_si128(s, t.highbytes), t.mulga);
        rb = _mm_mulhi_epu16(_mm_add_epi16(rb, t.one), t.k257);
        ga = _mm_mulhi_epu16(_mm_add_epi16(ga, t.one), t.k257);
        return _mm_or_si128(rb, _mm_slli_epi32(ga, 8));
    }
};
}  // namespace

void SpriteSSE2(const TImage& image, int x, int y, int frame, uint32_t r, uint32_t g, uint32_t b) {
    Sprite<SSE2>(image, x, y, frame, r, g, b);
}
void FillSSE2(const BlitJob& j) { Fill<SSE2>(j); }
