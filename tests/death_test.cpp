// The wipes at an area's edges and the death sequence: fixed numbers of
// update steps whatever the frame rate, and what death takes.
#include "area_fixture.h"
#include "areas/enemy.h"
#include "shell/shell.h"

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
