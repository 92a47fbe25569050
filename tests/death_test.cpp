// The wipes at an area's edges and the death sequence: fixed numbers of
// update steps whatever the frame rate, and what death takes.
#include <vector>

#include "area_fixture.h"
#include "areas/enemy.h"
#include "base/base.h"

namespace {
class DeathTest : public AreaTest {
protected:
    void SetUp() override {
        AreaTest::SetUp();
        FlatArea(64, 32);
        Stand(p, 300);
        camx = p.x, camy = p.y;
    }
    entity p;
};

constexpr uint32_t COVER = 0x201810;
}  // namespace

TEST_F(DeathTest, WipesLastTwentyStepsAtAnyFrameRate) {
    for (int ms : {16, 4, 1}) {
        for (int kind : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << ms << " ms a frame, kind " << kind);
            headless::Reset();
            headless::SetFrameMs(ms);
            lasttime = 0, accum = 0;
            uint32_t lastin = 0, lastout = 0;
            p.LevelTransIn((uint8_t)kind);
            lastin = headless::Pixel(240, 100);  // off the middle line, where box and window differ
            const int flips = headless::Flips();
            // The clock starts with no time owed, so the first frame comes
            // before any step: one frame more than the steps' worth.
            EXPECT_EQ(flips, 20 * 16 / ms + 1);
            EXPECT_NE(lastin, COVER);  // nothing left covered
            p.LevelTransOut((uint8_t)kind);
            lastout = headless::Pixel(479, 269);
            EXPECT_EQ(lastout, COVER);
            EXPECT_EQ(headless::Pixel(0, 0), COVER);
        }
    }
}

TEST_F(DeathTest, DyingClosesTheFrameFlashesWhiteAndTakesGoldAndBag) {
    gold = 77;
    player::exp = 12;
    level = 3;
    AP = 2;
    for (int c = 0; c < INVCOLS; ++c)
        for (int r = 0; r < INVROWS; ++r) invitem[c][r] = 256, invamt[c][r] = 5;
    TEnemy* e = enemies.AddLast(new TEnemy);
    e->SetKind(enemykinds::slime);
    e->x = p.x + 40, e->y = p.y;
    p.HP = 0;
    headless::At(60, [&] {
        // Halfway the closing frame is 120 pixels in from every side.
        EXPECT_EQ(headless::Pixel(5, 135), 0x601020u);
        EXPECT_EQ(headless::Pixel(240, 5), 0x601020u);
    });
    p.GetRekt();
    // A first frame before any step is due, 120 steps, the white flash.
    EXPECT_EQ(headless::Flips(), 1 + 120 + 1);
    EXPECT_EQ(headless::Pixel(240, 135), 0xFFFFFFu);
    EXPECT_EQ(gold, 0);
    for (int c = 0; c < INVCOLS; ++c)
        for (int r = 0; r < INVROWS; ++r) EXPECT_EQ(invitem[c][r] | invamt[c][r], 0);
    EXPECT_EQ(player::exp, 12);
    EXPECT_EQ(level, 3);
    EXPECT_EQ(AP, 2);
    EXPECT_EQ(p.swinging, 1);
    EXPECT_EQ(headless::SoundsPlayed(), (std::vector<std::string>{"sfx\\death.wav", "sfx\\death2.wav"}));
}

TEST_F(DeathTest, WipesAndTheDeathFrameCoverStepByStep) {
    // Only sky on screen: the area's top rows, the player far below them.
    FlatArea(64, 64);
    Stand(p, 300);
    camx = p.x, camy = 128;
    enum Which { IN, OUT, DEATH };
    struct Box {
        int x0, y0, x1, y1;  // the right and bottom edges are outside it
    };
    struct Case {
        Which which;
        uint8_t kind;
        int i;  // update steps since the start: frame i + 1 shows it
        Box box;
        bool boxcovered;  // the box is what is covered, else what is left open
    } cases[] = {
        // Coming in from the right: the cover shrinks to the left edge, 24 pixels a step.
        {IN, 0, 0, {0, 0, 480, 270}, true},
        {IN, 0, 1, {0, 0, 456, 270}, true},
        {IN, 0, 10, {0, 0, 240, 270}, true},
        {IN, 0, 19, {0, 0, 24, 270}, true},
        {IN, 0, 20, {0, 0, 0, 270}, true},
        // From the left: it retreats to the right edge.
        {IN, 1, 0, {0, 0, 480, 270}, true},
        {IN, 1, 1, {24, 0, 480, 270}, true},
        {IN, 1, 10, {240, 0, 480, 270}, true},
        {IN, 1, 19, {456, 0, 480, 270}, true},
        {IN, 1, 20, {480, 0, 480, 270}, true},
        // Dropped in the middle: a window opens around (240, 135), 8 pixels a step each way.
        {IN, 2, 0, {135, 135, 345, 135}, false},
        {IN, 2, 1, {127, 127, 353, 143}, false},
        {IN, 2, 10, {55, 55, 425, 215}, false},
        {IN, 2, 16, {7, 7, 473, 263}, false},
        {IN, 2, 17, {-1, -1, 481, 271}, false},
        // Leaving facing left: the cover comes in from the right edge.
        {OUT, 0, 0, {480, 0, 480, 270}, true},
        {OUT, 0, 1, {456, 0, 480, 270}, true},
        {OUT, 0, 10, {240, 0, 480, 270}, true},
        {OUT, 0, 19, {24, 0, 480, 270}, true},
        {OUT, 0, 20, {0, 0, 480, 270}, true},
        // Facing right: from the left edge.
        {OUT, 1, 0, {0, 0, 0, 270}, true},
        {OUT, 1, 1, {0, 0, 24, 270}, true},
        {OUT, 1, 10, {0, 0, 240, 270}, true},
        {OUT, 1, 20, {0, 0, 480, 270}, true},
        // The closing box: it grows out of the middle line.
        {OUT, 2, 0, {135, 135, 345, 135}, true},
        {OUT, 2, 1, {127, 127, 353, 143}, true},
        {OUT, 2, 10, {55, 55, 425, 215}, true},
        {OUT, 2, 16, {7, 7, 473, 263}, true},
        {OUT, 2, 17, {-1, -1, 481, 271}, true},
        {OUT, 2, 20, {-25, -25, 505, 295}, true},
        // Death: a frame closes in from every side, 2 pixels a step; from
        // step 68 it meets itself top and bottom.
        {DEATH, 0, 0, {0, 0, 480, 270}, false},
        {DEATH, 0, 1, {2, 2, 478, 268}, false},
        {DEATH, 0, 60, {120, 120, 360, 150}, false},
        {DEATH, 0, 67, {134, 134, 346, 136}, false},
        {DEATH, 0, 68, {136, 136, 344, 134}, false},
        {DEATH, 0, 120, {240, 240, 240, 30}, false},
    };
    // Points at and beside each edge of the box and across the screen, but
    // none under the HUD or the frame counter.
    auto check = [](const Case& c, uint32_t cover) {
        const Box& b = c.box;
        std::vector<int> xs = {b.x0 - 1, b.x0, (b.x0 + b.x1) / 2, b.x1 - 1, b.x1, 120, 240, 360, 479};
        std::vector<int> ys = {b.y0 - 1, b.y0, (b.y0 + b.y1) / 2, b.y1 - 1, b.y1, 0, 80, 135, 200, 269};
        for (int x : xs)
            for (int y : ys) {
                if (x < 0 || x >= 480 || y < 0 || y >= 270) continue;
                if ((x < 100 && y < 70) || (x < 40 && y >= 260)) continue;
                const bool inside = x >= b.x0 && x < b.x1 && y >= b.y0 && y < b.y1;
                EXPECT_EQ(headless::Pixel(x, y) == cover, inside == c.boxcovered)
                    << "step " << c.i << " at (" << x << ", " << y << ")";
            }
    };
    for (Which which : {IN, OUT, DEATH})
        for (uint8_t kind : {0, 1, 2}) {
            if (which == DEATH && kind > 0) continue;
            SCOPED_TRACE(testing::Message() << (which == IN ? "in" : which == OUT ? "out" : "death") << " kind "
                                            << (int)kind);
            headless::Reset();
            lasttime = 0, accum = 0;
            int looked = 0, want = 0;
            for (const Case& c : cases)
                if (c.which == which && c.kind == kind) {
                    ++want;
                    headless::At(c.i + 1, [&, c] {
                        check(c, which == DEATH ? 0x601020u : COVER);
                        ++looked;
                    });
                }
            if (which == IN) p.LevelTransIn(kind);
            if (which == OUT) p.LevelTransOut(kind);
            if (which == DEATH) {
                p.HP = 0;
                p.GetRekt();
                p.HP = 3;
            }
            EXPECT_EQ(looked, want);
        }
}
