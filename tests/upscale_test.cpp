// The frame enlarged into a window's pixels: every logical pixel a whole
// square block, and nothing written outside the frame's place.
#include <gtest/gtest.h>

#include <vector>

#include "engine/draw.h"
#include "platform/sdl/upscale.h"

TEST(Upscale, EachPixelBecomesASquareBlockAndTheRestOfTheRowIsLeftAlone) {
    for (int i = 0; i < SCREENW * SCREENH; ++i) framebuffer[i] = 0xFF000000u | (uint32_t)(i * 2654435761u >> 8);
    constexpr uint32_t UNTOUCHED = 0x12345678;
    for (int factor : {1, 2, 3, 4, 5}) {
        SCOPED_TRACE(factor);
        // Rows wider than the frame, as a window's may be: 7 spare words each,
        // and a spare row below.
        const int pitch = SCREENW * factor + 7, rows = SCREENH * factor + 1;
        std::vector<uint32_t> window((size_t)pitch * rows, UNTOUCHED);
        UpscaleFrame(framebuffer, window.data(), pitch, factor);
        int wrong = 0;
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < pitch; ++x) {
                const bool inside = x < SCREENW * factor && y < SCREENH * factor;
                const uint32_t want = inside ? framebuffer[(y / factor) * SCREENW + x / factor] : UNTOUCHED;
                if (window[(size_t)y * pitch + x] != want && wrong++ < 3) ADD_FAILURE() << "at " << x << "," << y;
            }
        EXPECT_EQ(wrong, 0);
    }
}
