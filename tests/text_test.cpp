// Text placement, shadows and floating texts, checked on the frame's pixels.
#include "base/assets.h"
#include "testutil.h"
#include "base/base.h"

namespace {
// A stand-in font whose every cell is a solid 4x5 block, so each character's
// place shows exactly; the real font is restored afterwards.
class TextTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        font = std::make_unique<SolidFont>();
        SetClsColor(0, 0, 0);
        Cls();
    }
    void TearDown() override {
        font.reset();
        GameTest::TearDown();
    }
    std::unique_ptr<SolidFont> font;
    // The covered columns of row y, as [first, last]; {-1, -1} when none.
    std::pair<int, int> Span(int y, uint32_t colour) {
        int first = -1, last = -1;
        for (int x = 0; x < SCREENW; ++x)
            if (headless::Pixel(x, y) == colour) {
                if (first < 0) first = x;
                last = x;
            }
        return {first, last};
    }
};
}  // namespace

TEST_F(TextTest, AlignmentPlacesTheCells) {
    struct Case {
        std::string text;
        int x, y, centrex, centrey;
        int left, right, top;
    } cases[] = {
        {"Hello", 100, 50, 0, 0, 100, 119, 50},
        {"Hello", 100, 50, 1, 0, 90, 109, 50},
        {"Hello", 100, 50, 2, 0, 80, 99, 50},
        {"Hello", 100, 50, 0, 1, 100, 119, 48},
        {"abc", 7, 20, 1, 1, 1, 12, 18},  // 7 - 3*4/2 = 1
        {"", 100, 50, 1, 0, -1, -1, -1},
    };
    for (const Case& c : cases) {
        Cls();
        SetColor(255, 255, 255);
        DrawPlainText(c.text, c.x, c.y, c.centrex, c.centrey);
        int top = -1;
        for (int y = 0; y < SCREENH && top < 0; ++y)
            if (Span(y, 0xFFFFFF).first >= 0) top = y;
        EXPECT_EQ(top, c.top) << c.text << " " << c.centrex << c.centrey;
        if (top >= 0) {
            EXPECT_EQ(Span(top, 0xFFFFFF), std::make_pair(c.left, c.right)) << c.text << " " << c.centrex;
            EXPECT_EQ(Span(top + 4, 0xFFFFFF), std::make_pair(c.left, c.right));
            EXPECT_EQ(Span(top + 5, 0xFFFFFF).first, -1);
        }
    }
}

TEST_F(TextTest, CharactersAbove127LeaveAGap) {
    SetColor(255, 255, 255);
    DrawPlainText(std::string("a\xe9" "b"), 10, 10, 0, 0);
    EXPECT_EQ(headless::Pixel(10, 10), 0xFFFFFFu);
    EXPECT_EQ(headless::Pixel(14, 10), 0u);
    EXPECT_EQ(headless::Pixel(17, 10), 0u);
    EXPECT_EQ(headless::Pixel(18, 10), 0xFFFFFFu);
}

TEST_F(TextTest, ShadowsAreInverseOrBlackAndTheColourIsRestored) {
    struct Case {
        int r, g, b, blackshadow;
        uint32_t text, shadow;
    } cases[] = {
        {255, 255, 255, 0, 0xFFFFFF, 0x000000},
        {0, 0, 0, 0, 0x000000, 0xFFFFFF},
        {192, 255, 192, 0, 0xC0FFC0, 0x3F003F},
        {192, 255, 192, 1, 0xC0FFC0, 0x000000},
    };
    for (const Case& c : cases) {
        SetClsColor(1, 2, 3);
        Cls();
        SetColor(c.r, c.g, c.b);
        DrawShadowText("X", 20, 20, 0, 0, c.blackshadow);
        EXPECT_EQ(headless::Pixel(20, 20), c.text);
        EXPECT_EQ(headless::Pixel(24, 25), c.shadow);  // the shadow's bottom-right corner
        EXPECT_EQ(headless::Pixel(24, 20), 0x010203u);
        int r, g, b;
        CurrentColor(r, g, b);
        EXPECT_EQ(std::make_tuple(r, g, b), std::make_tuple(c.r, c.g, c.b));
    }
}

TEST_F(TextTest, FloatingTextsRiseFromWhereTheyWereMade) {
    SetClsColor(1, 2, 3);
    Cls();
    textleap* t = textleap::Make("12", 100, 80, 31, 255, 128, 128);
    EXPECT_EQ(textleaps.Count(), 1u);
    EXPECT_EQ(t->y, 80 - 15);
    EXPECT_EQ(t->dur, 31);
    t->Draw();
    // Centred on x, top at y + dur / 2: first drawn where it was made.
    EXPECT_EQ(Span(80, 0xFF8080), std::make_pair(96, 103));
    EXPECT_EQ(Span(79, 0xFF8080).first, -1);
    EXPECT_EQ(headless::Pixel(104, 85), 0u);  // black shadow
    int r, g, b;
    CurrentColor(r, g, b);
    EXPECT_EQ(std::make_tuple(r, g, b), std::make_tuple(255, 128, 128));
    // Thirty steps later it has climbed 15 pixels.
    t->dur = 1;
    Cls();
    t->Draw();
    EXPECT_EQ(Span(65, 0xFF8080), std::make_pair(96, 103));
    textleap* neg = textleap::Make("x", 0, 10, -3, 1, 1, 1);
    EXPECT_EQ(neg->y, 11);  // -3 / 2 truncates toward zero
}
