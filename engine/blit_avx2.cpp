// Sprite loops eight texels at a time, for processors with AVX2. This file
// alone is compiled for AVX2; draw.cpp only calls it where the processor
// has it.
#include <immintrin.h>

#include "engine/blit.h"

namespace {
struct AVX2 {
    using Reg = __m256i;
    static constexpr int N = 8;
    struct TintState {
        __m256i lowbytes, highbytes, mulrb, mulga, one, k257;
    };
    static Reg Load(const uint32_t* p) { return _mm256_loadu_si256((const __m256i*)p); }
    static void Store(uint32_t* p, Reg v) { _mm256_storeu_si256((__m256i*)p, v); }
    static Reg Splat(uint32_t c) { return _mm256_set1_epi32((int)c); }
    static Reg Holes(Reg s) { return _mm256_cmpeq_epi32(s, _mm256_setzero_si256()); }
    static Reg Select(Reg holes, Reg texel, Reg screen) { return _mm256_blendv_epi8(texel, screen, holes); }
    static TintState MakeTint(uint32_t r, uint32_t g, uint32_t b) {
        return {_mm256_set1_epi32(0x00FF00FF), _mm256_set1_epi32((int)0xFF00FF00u), _mm256_set1_epi32((int)(r << 16 | b)),
                _mm256_set1_epi32((int)(0xFF000000u | g << 8)), _mm256_set1_epi16(1), _mm256_set1_epi16(257)};
    }
    static Reg Tint(const TintState& t, Reg s) {
        Reg rb = _mm256_mullo_epi16(_mm256_and_si256(s, t.lowbytes), t.mulrb);
        Reg ga = _mm256_mulhi_epu16(_mm256_and_si256(s, t.highbytes), t.mulga);
        rb = _mm256_mulhi_epu16(_mm256_add_epi16(rb, t.one), t.k257);
        ga = _mm256_mulhi_epu16(_mm256_add_epi16(ga, t.one), t.k257);
        return _mm256_or_si256(rb, _mm256_slli_epi32(ga, 8));
    }
};
}  // namespace

void SpriteAVX2(const TImage& image, int x, int y, int frame, uint32_t r, uint32_t g, uint32_t b) {
    Sprite<AVX2>(image, x, y, frame, r, g, b);
}
void FillAVX2(const BlitJob& j) { Fill<AVX2>(j); }
