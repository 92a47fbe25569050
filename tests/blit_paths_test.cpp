// Every set of drawing loops the game carries, held to the one drawing rule
// worked out here pixel by pixel: a hole is never written, every other texel
// is written opaque as texel x colour / 255 per component (the colour
// clamped to 0..255 first), a rectangle takes the colour itself, and nothing
// lands outside the screen. The processor picks one set at start, so without
// choosing them here the narrower loops would never run on a newer machine.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "engine/blit.h"
#include "testutil.h"

// Names the loops in test names and messages.
void PrintTo(BlitLoops loops, std::ostream* out) { *out << (loops == BlitLoops::SSE2 ? "SSE2" : "AVX2"); }

namespace {
class BlitPathsTest : public GameTest, public ::testing::WithParamInterface<BlitLoops> {
protected:
    void SetUp() override {
        GameTest::SetUp();
        if (!UseBlitLoops(GetParam())) GTEST_SKIP() << "this processor lacks these instructions";
        // A background of many colours, so a hole written over shows.
        for (int i = 0; i < SCREENW * SCREENH; ++i) framebuffer[i] = 0xFF000000u | (((uint32_t)i * 2654435761u) >> 8);
        expect.assign(framebuffer, framebuffer + SCREENW * SCREENH);
    }
    void TearDown() override {
        UseBlitLoops(BlitLoops::Widest);
        GameTest::TearDown();
    }

    // Where the frame first departs from the expected one; empty when it does not.
    std::string Difference() const {
        if (std::memcmp(framebuffer, expect.data(), sizeof framebuffer) == 0) return {};
        const size_t i = std::mismatch(expect.begin(), expect.end(), framebuffer).first - expect.begin();
        char text[96];
        std::snprintf(text, sizeof text, "at %d,%d: drawn %08X, the rule gives %08X", (int)(i % SCREENW),
                      (int)(i / SCREENW), framebuffer[i], expect[i]);
        return text;
    }

    std::vector<uint32_t> expect;  // the frame as the rule draws it
};

int Clamp(int v) { return std::clamp(v, 0, 255); }

uint32_t Tinted(uint32_t texel, int r, int g, int b) {
    const uint32_t tr = (texel >> 16) & 255, tg = (texel >> 8) & 255, tb = texel & 255;
    return 0xFF000000u | (tr * Clamp(r) / 255) << 16 | (tg * Clamp(g) / 255) << 8 | tb * Clamp(b) / 255;
}

uint32_t Hash(int x, int y, int f) { return ((uint32_t)(x * 7919 + y * 104729 + f * 15485863) + 1u) * 2654435761u; }

// Texel colours 0xRRGGBB of frame f at (x, y) of a cell; 0 is a hole.
using Texels = uint32_t (*)(int f, int x, int y);
uint32_t Solid(int f, int x, int y) { return (Hash(x, y, f) & 0xFFFFFF) | 0x000100; }
uint32_t Scattered(int f, int x, int y) { return (Hash(x, y, f) >> 24) % 3 == 0 ? 0 : Solid(f, x, y); }
// Rows of every kind: all holes, none, every other texel, and only the last.
uint32_t RowKinds(int f, int x, int y) {
    switch (y % 4) {
    case 0: return 0;
    case 1: return Solid(f, x, y);
    case 2: return x % 2 ? 0 : Solid(f, x, y);
    default: return x == 0 ? 0 : Solid(f, x, y);
    }
}

// A sheet of two w x h cells side by side: the first always without holes,
// the second of the given kind, so the loops must tell the frames apart.
struct Sheet {
    int w, h;
    Texels kind;
    TImage image;

    uint32_t Texel(int f, int x, int y) const { return f == 0 ? Solid(0, x, y) : kind(f, x, y); }
    void Make() {
        std::vector<uint8_t> rgb((size_t)w * 2 * h * 3);
        for (int f = 0; f < 2; ++f)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const uint32_t c = Texel(f, x, y);
                    uint8_t* p = &rgb[((size_t)y * w * 2 + f * w + x) * 3];
                    p[0] = c >> 16;
                    p[1] = c >> 8;
                    p[2] = c;
                }
        ASSERT_TRUE(image.FromRGB(rgb.data(), w * 2, h, w, h, 0, 2));
    }
    // The rule: each texel on the screen that is not a hole, tinted.
    void Draw(std::vector<uint32_t>& screen, int f, int x, int y, int r, int g, int b) const {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const int sx = x + i, sy = y + j;
                const uint32_t t = Texel(f, i, j);
                if (t && sx >= 0 && sy >= 0 && sx < SCREENW && sy < SCREENH)
                    screen[(size_t)sy * SCREENW + sx] = Tinted(t, r, g, b);
            }
    }
};
}  // namespace

// Every pair of texel component and colour component, through whole rows
// and rows with holes, for the plain copy of white and for every tint.
TEST_P(BlitPathsTest, TintIsTexelTimesColourOver255ForEveryPair) {
    // Texel x has red x, green 255 - x and blue running through all values
    // in another order, so no texel is black; the second row has holes.
    auto texel = [](int x, int y) -> uint32_t {
        if (y == 1 && x % 3 == 1) return 0;
        return (uint32_t)x << 16 | (uint32_t)(255 - x) << 8 | (uint32_t)((x * 37 + 11) & 255);
    };
    std::vector<uint8_t> rgb(256 * 2 * 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 256; ++x) {
            const uint32_t c = texel(x, y);
            uint8_t* p = &rgb[((size_t)y * 256 + x) * 3];
            p[0] = c >> 16;
            p[1] = c >> 8;
            p[2] = c;
        }
    TImage row;
    ASSERT_TRUE(row.FromRGB(rgb.data(), 256, 2, 256, 2, 0, 1));

    struct Colour {
        int r, g, b;
    };
    std::vector<Colour> colours;
    for (int k = 0; k < 256; ++k) colours.push_back({k, (k + 85) & 255, (k + 170) & 255});
    // White copies; clamping happens before that choice, and inside a tint.
    for (Colour c : {Colour{255, 255, 255}, Colour{256, 300, 9999}, Colour{300, -7, 1000}, Colour{-1, -1, -1}})
        colours.push_back(c);
    for (const Colour& c : colours) {
        SetColor(c.r, c.g, c.b);
        DrawSprite(row, 101, 37, 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 256; ++x)
                if (texel(x, y)) expect[(size_t)(37 + y) * SCREENW + 101 + x] = Tinted(texel(x, y), c.r, c.g, c.b);
        ASSERT_EQ(Difference(), "") << "colour " << c.r << "," << c.g << "," << c.b;
    }
}

// Widths on both sides of each register width, so every loop's tail runs;
// whole frames of 16 (the overworld's tiles) have a loop of their own.
// Each is placed across every edge of the screen by every amount that
// leaves a different width or height of it showing, and wholly off it.
TEST_P(BlitPathsTest, SpritesFollowTheRuleAtEveryWidthAndEdge) {
    Sheet sheets[] = {
        {16, 16, Solid, {}},    {16, 16, RowKinds, {}}, {16, 16, Scattered, {}}, {1, 4, Scattered, {}},
        {3, 5, RowKinds, {}},   {4, 3, Solid, {}},      {5, 3, Scattered, {}},   {7, 7, RowKinds, {}},
        {8, 8, Solid, {}},      {9, 2, Scattered, {}},  {12, 12, RowKinds, {}},  {13, 6, Solid, {}},
        {15, 4, RowKinds, {}},  {17, 5, Scattered, {}}, {31, 3, Solid, {}},      {33, 4, RowKinds, {}},
    };
    struct Colour {
        int r, g, b;
    };
    const Colour colours[] = {{255, 255, 255}, {200, 100, 37}, {-1, 300, 128}};
    for (Sheet& s : sheets) {
        s.Make();
        if (HasFatalFailure()) return;
        const int w = s.w, h = s.h;
        std::vector<int> xs, ys;
        for (int k = -w - 1; k <= 1; ++k) xs.push_back(k);
        for (int k = SCREENW - w - 1; k <= SCREENW; ++k) xs.push_back(k);
        xs.push_back(211);
        for (int k = -h - 1; k <= 1; ++k) ys.push_back(k);
        for (int k = SCREENH - h - 1; k <= SCREENH; ++k) ys.push_back(k);
        ys.push_back(101);
        // Along each side, and through the corners.
        struct Place {
            int x, y;
        };
        std::vector<Place> places;
        for (int x : xs)
            for (int y : {-h / 2, 101, SCREENH - h / 2 - 1}) places.push_back({x, y});
        for (int y : ys)
            for (int x : {-w / 2, 211, SCREENW - w / 2 - 1}) places.push_back({x, y});
        for (const Place& p : places)
            for (int f = 0; f < 2; ++f)
                for (const Colour& c : colours) {
                    SetColor(c.r, c.g, c.b);
                    DrawSprite(s.image, p.x, p.y, f);
                    s.Draw(expect, f, p.x, p.y, c.r, c.g, c.b);
                    ASSERT_EQ(Difference(), "") << w << "x" << h << " frame " << f << " at " << p.x << "," << p.y
                                                << " colour " << c.r << "," << c.g << "," << c.b;
                }
    }
}

TEST_P(BlitPathsTest, FillsCoverTheirRectangleAtEveryWidthAndEdge) {
    auto fill = [this](int x0, int y0, int x1, int y1, uint32_t pixel) {
        for (int y = std::max(y0, 0); y < std::min(y1, SCREENH); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, SCREENW); ++x) expect[(size_t)y * SCREENW + x] = pixel;
    };
    int n = 0;
    for (int w : {1, 2, 3, 4, 5, 7, 8, 9, 11, 15, 16, 17, 33, 479, 480, 481})
        for (int x : {-w + 1, -3, 0, 5, SCREENW - w - 1, SCREENW - w + 2})
            for (int y : {-2, 0, 133, SCREENH - 3})
                for (int h : {1, 3}) {
                    // Colours that clamp, on some of the rectangles.
                    const int r = n % 5 == 0 ? 300 : (n * 37) & 255, g = n % 7 == 0 ? -40 : (n * 91) & 255,
                              b = (n * 53) & 255;
                    ++n;
                    SetColor(r, g, b);
                    DrawRect(x, y, w, h);
                    fill(x, y, x + w, y + h, 0xFF000000u | (uint32_t)Clamp(r) << 16 | (uint32_t)Clamp(g) << 8 | Clamp(b));
                    ASSERT_EQ(Difference(), "") << w << "x" << h << " at " << x << "," << y;
                }
    SetClsColor(-3, 77, 256);
    Cls();
    fill(0, 0, SCREENW, SCREENH, 0xFF004DFFu);
    EXPECT_EQ(Difference(), "");
}

INSTANTIATE_TEST_SUITE_P(Loops, BlitPathsTest, ::testing::Values(BlitLoops::SSE2, BlitLoops::AVX2),
                         [](const ::testing::TestParamInfo<BlitLoops>& info) {
                             return ::testing::PrintToString(info.param);
                         });
