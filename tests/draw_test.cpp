// The frame's drawing rules: holes, tint, clamping, origin, clipping and
// frame numbering.
#include <algorithm>
#include <array>

#include "engine/draw.h"
#include "engine/dice.h"
#include "testutil.h"

namespace {
class DrawTest : public GameTest {};

// A picture of w x h pixels from a function of (x, y) -> 0xRRGGBB.
template <class F>
TImage Picture(int w, int h, int cw, int ch, F colour) {
    std::vector<uint8_t> rgb((size_t)w * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t c = colour(x, y);
            uint8_t* p = &rgb[((size_t)y * w + x) * 3];
            p[0] = c >> 16;
            p[1] = c >> 8;
            p[2] = c;
        }
    TImage img;
    EXPECT_TRUE(img.FromRGB(rgb.data(), w, h, cw, ch, 0, (w / cw) * (h / ch)));
    return img;
}

uint32_t Px(int x, int y) { return headless::Pixel(x, y); }
}  // namespace

TEST_F(DrawTest, PureBlackIsAHoleAndEverythingElseIsOpaque) {
    // Left half pure black, right half (0, 0, 1).
    TImage img = Picture(4, 1, 4, 1, [](int x, int) { return x < 2 ? 0x000000u : 0x000001u; });
    SetClsColor(10, 20, 30);
    Cls();
    for (auto tint : std::array<std::array<int, 3>, 3>{{{255, 255, 255}, {0, 0, 0}, {128, 64, 255}}}) {
        SetColor(tint[0], tint[1], tint[2]);
        DrawSprite(img, 0, 0, 0);
        EXPECT_EQ(Px(0, 0), 0x0A141Eu);
        EXPECT_EQ(Px(1, 0), 0x0A141Eu);
    }
    SetColor(255, 255, 255);
    DrawSprite(img, 0, 0, 0);
    EXPECT_EQ(Px(2, 0), 0x000001u);
}

TEST_F(DrawTest, TintMultipliesAndRectanglesTakeTheColour) {
    TImage img = Picture(1, 1, 1, 1, [](int, int) { return 0xFF8040u; });
    struct Case {
        int r, g, b;
        uint32_t sprite, rect;
    } cases[] = {
        {255, 255, 255, 0xFF8040, 0xFFFFFF},
        {128, 128, 128, 0x804020, 0x808080},  // 255*128/255, 128*128/255 = 64, 64*128/255 = 32
        {0, 255, 100, 0x008019, 0x00FF64},
        {256, 300, -5, 0xFF8000, 0xFFFF00},  // components clamp when used
    };
    for (const Case& c : cases) {
        SetColor(c.r, c.g, c.b);
        DrawSprite(img, 5, 5, 0);
        DrawRect(6, 5, 1, 1);
        EXPECT_EQ(Px(5, 5), c.sprite) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(Px(6, 5), c.rect) << c.r << "," << c.g << "," << c.b;
    }
    int r, g, b;
    CurrentColor(r, g, b);
    EXPECT_EQ(r, 256);
    EXPECT_EQ(g, 300);
    EXPECT_EQ(b, -5);
}

TEST_F(DrawTest, OriginIsAddedToEveryPosition) {
    TImage img = Picture(1, 1, 1, 1, [](int, int) { return 0x123456u; });
    Cls();
    SetDrawOrigin(-100, 20);
    DrawSprite(img, 150, 0, 0);
    SetColor(9, 9, 9);
    DrawRect(110, 10, 2, 1);
    EXPECT_EQ(Px(50, 20), 0x123456u);
    EXPECT_EQ(Px(10, 30), 0x090909u);
    EXPECT_EQ(Px(11, 30), 0x090909u);
    EXPECT_EQ(Px(12, 30), 0u);
}

TEST_F(DrawTest, RectangleSizes) {
    struct Case {
        int x, y, w, h;
        int left, top, right, bottom;  // covered span, right/bottom exclusive; empty when left == right
    } cases[] = {
        {10, 10, 3, 2, 10, 10, 13, 12},
        {10, 10, -3, 2, 7, 10, 10, 12},
        {10, 10, 3, -2, 10, 8, 13, 10},
        {10, 10, 0, 5, 0, 0, 0, 0},
        {478, 268, 10, 10, 478, 268, 480, 270},
        {-5, -5, 7, 7, 0, 0, 2, 2},
    };
    for (const Case& c : cases) {
        SetColor(0, 0, 0);
        Cls();
        SetColor(255, 0, 0);
        DrawRect(c.x, c.y, c.w, c.h);
        int count = 0;
        for (int y = 0; y < SCREENH; ++y)
            for (int x = 0; x < SCREENW; ++x) {
                bool in = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                if (Px(x, y) == 0xFF0000u) ++count;
                ASSERT_EQ(Px(x, y) == 0xFF0000u, in) << c.x << "," << c.y << " " << c.w << "x" << c.h << " at " << x << "," << y;
            }
        EXPECT_EQ(count, (c.right - c.left) * (c.bottom - c.top));
    }
}

TEST_F(DrawTest, FramesAreNumberedInReadingOrderAndOutOfRangeDrawsNothing) {
    // A 4 x 2 sheet of 2 x 2 cells: cell k is coloured k + 1.
    TImage img = Picture(8, 4, 2, 2, [](int x, int y) { return (uint32_t)((y / 2) * 4 + x / 2 + 1); });
    ASSERT_EQ(img.frames, 8);
    for (int f = 0; f < 8; ++f) {
        Cls();
        DrawSprite(img, 0, 0, f);
        EXPECT_EQ(Px(1, 1), (uint32_t)f + 1);
    }
    for (int f : {-1, 8, 1000}) {
        Cls();
        DrawSprite(img, 0, 0, f);
        EXPECT_EQ(Px(0, 0), 0u);
    }
    // Keeping frames from a later cell.
    std::vector<uint8_t> rgb(8 * 4 * 3, 50);
    TImage part;
    EXPECT_TRUE(part.FromRGB(rgb.data(), 8, 4, 2, 2, 3, 5));
    EXPECT_FALSE(part.FromRGB(rgb.data(), 8, 4, 2, 2, 3, 6));
}

// Every position and colour, including the clipped edges and the fast paths,
// gives what the plain rule gives pixel by pixel.
TEST_F(DrawTest, SpritesMatchThePlainRuleEverywhere) {
    TImage img = Picture(16, 16, 16, 16, [](int x, int y) {
        uint32_t h = (uint32_t)(x * 7919 + y * 104729) * 2654435761u;
        return (h >> 8) % 3 == 0 ? 0u : (h & 0xFFFFFF);
    });
    SeedRand(7);
    std::vector<uint32_t> expect(SCREENW * SCREENH);
    for (int n = 0; n < 400; ++n) {
        const int x = Rand(-20, 490), y = Rand(-20, 280);
        const bool white = n % 2 == 0;
        const int r = white ? 255 : Rand(-20, 280), g = white ? 255 : Rand(0, 255), b = white ? 255 : Rand(0, 255);
        SetColor(r, g, b);
        for (int i = 0; i < SCREENW * SCREENH; ++i) expect[i] = framebuffer[i];
        const int cr = std::clamp(r, 0, 255), cg = std::clamp(g, 0, 255), cb = std::clamp(b, 0, 255);
        for (int j = 0; j < 16; ++j)
            for (int i = 0; i < 16; ++i) {
                const int sx = x + i, sy = y + j;
                const uint32_t t = img.Frame(0)[j * 16 + i];
                if (sx < 0 || sy < 0 || sx >= SCREENW || sy >= SCREENH || t == 0) continue;
                expect[sy * SCREENW + sx] = 0xFF000000u | (((t >> 16) & 255) * cr / 255) << 16 |
                                            (((t >> 8) & 255) * cg / 255) << 8 | ((t & 255) * cb / 255);
            }
        DrawSprite(img, x, y, 0);
        for (int i = 0; i < SCREENW * SCREENH; ++i)
            ASSERT_EQ(framebuffer[i], expect[i]) << "draw " << n << " at " << x << "," << y;
    }
}
