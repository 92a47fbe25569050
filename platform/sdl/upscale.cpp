// Each frame row is widened once and the copies below it are whole-row
// copies: at four times the size that is a quarter of the work of writing
// every pixel by itself.
#include "platform/sdl/upscale.h"

#include <cstring>

#include "engine/draw.h"

namespace {
template <int F>
void WidenRow(const uint32_t* src, uint32_t* dst) {
    for (int x = 0; x < SCREENW; ++x, dst += F)
        for (int k = 0; k < F; ++k) dst[k] = src[x];
}

void WidenRowAny(const uint32_t* src, uint32_t* dst, int factor) {
    for (int x = 0; x < SCREENW; ++x, dst += factor)
        for (int k = 0; k < factor; ++k) dst[k] = src[x];
}
}  // namespace

void UpscaleFrame(const uint32_t* frame, uint32_t* dst, int pitch, int factor) {
    if (factor < 1) return;
    const size_t rowbytes = sizeof(uint32_t) * SCREENW * (size_t)factor;
    for (int y = 0; y < SCREENH; ++y) {
        const uint32_t* src = frame + (size_t)y * SCREENW;
        uint32_t* first = dst + (size_t)y * factor * pitch;
        switch (factor) {
        case 1: std::memcpy(first, src, rowbytes); break;
        case 2: WidenRow<2>(src, first); break;
        case 3: WidenRow<3>(src, first); break;
        case 4: WidenRow<4>(src, first); break;
        default: WidenRowAny(src, first, factor); break;
        }
        for (int k = 1; k < factor; ++k) std::memcpy(first + (size_t)k * pitch, first, rowbytes);
    }
}
