// Falling, jumping, walls, standing on one corner, the floor and taking hits.
#include "area_fixture.h"

namespace {
class MotionTest : public AreaTest {
protected:
    void SetUp() override {
        AreaTest::SetUp();
        FlatArea(16, 64);  // ground from pixel 512 down
    }
};
}  // namespace

TEST_F(MotionTest, FallingFromRestMovesFirstInStepFiveAndReachesTheLimitAfter34) {
    entity e;
    e.x = 64, e.y = 0, e.onground = 0;
    int firstmove = 0, limit = 0;
    for (int step = 1; step <= 40; ++step) {
        const int y = e.y;
        e.UpdateMotion();
        if (!firstmove && e.y != y) firstmove = step;
        if (!limit && e.yv == 100) limit = step;
        if (step == 5) {
            EXPECT_EQ(e.yv, 15);  // moved by 12 / 10, then gravity
        }
    }
    EXPECT_EQ(firstmove, 5);
    EXPECT_EQ(limit, 34);
    EXPECT_EQ(e.onground, 0);
}

TEST_F(MotionTest, AJumpOf35RisesSeventeenPixelsHoldsSixStepsAndFallsInTheSixteenth) {
    entity e;
    Stand(e, 64);
    e.Jump(35);
    std::vector<int> moves;
    for (int step = 1; step <= 16; ++step) {
        const int y = e.y;
        e.UpdateMotion();
        moves.push_back(e.y - y);
    }
    EXPECT_EQ(moves, (std::vector<int>{-3, -3, -2, -2, -2, -2, -1, -1, -1, 0, 0, 0, 0, 0, 0, 1}));
    // In the air a jump only marks the creature airborne.
    const int yv = e.yv;
    e.Jump(35);
    EXPECT_EQ(e.yv, yv);
    EXPECT_EQ(e.onground, 0);
}

TEST_F(MotionTest, AWallPushesTheCreatureOutWithFiveTenthsIntoIt) {
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 32; ++y) areatiles[x][y] = (x == 3 || x == 6) ? blocks::stone : blocks::air;
    struct Case {
        int x, xv, wantx, wantxv;
    } cases[] = {
        // -5 from the push-out, then the air's friction of 1.
        {64, -30, 63, -4},
        {78, 60, 81, 4},
    };
    for (const Case& c : cases) {
        entity e;
        e.x = c.x, e.y = 100, e.onground = 0, e.xv = c.xv;
        e.UpdateMotion();
        EXPECT_EQ(e.x, c.wantx) << c.xv;
        EXPECT_EQ(e.xv, c.wantxv) << c.xv;
    }
}

TEST_F(MotionTest, OneCornerOverGroundKeepsStanding) {
    for (int x = 0; x < 16; ++x) areatiles[x][32] = x == 4 ? blocks::stone : blocks::air;
    for (int x = 0; x < 16; ++x)
        for (int y = 33; y < 64; ++y) areatiles[x][y] = blocks::air;
    entity e;
    Stand(e, 72);  // left corner over tile 4, right corner over air
    for (int step = 0; step < 40; ++step) {
        e.UpdateMotion();
        EXPECT_EQ(e.y, 496) << step;
        EXPECT_EQ(e.onground, 1) << step;
    }
    EXPECT_EQ(Played("sfx\\land.wav"), 0);
}

TEST_F(MotionTest, TheFloorOfTheAreaIsMeasuredWithTheBoxWidth) {
    ClearArea();
    areawidth = 16, areaheight = 16;
    struct Case {
        uint8_t w, h;
        int resty;
    } cases[] = {{16, 12, 240}, {8, 8, 248}, {16, 16, 240}};
    for (const Case& c : cases) {
        entity e;
        e.width = c.w, e.height = c.h;
        e.x = 64, e.y = 100, e.onground = 0;
        for (int step = 0; step < 100; ++step) e.UpdateMotion();
        // A box wider than tall is held above the bottom row: it keeps
        // gaining speed in the air and being set back, never sinking.
        for (int step = 0; step < 30; ++step) {
            e.UpdateMotion();
            EXPECT_EQ(e.y, c.resty) << (int)c.w << "x" << (int)c.h;
        }
        if (c.w == c.h) {
            EXPECT_EQ(e.onground, 1);
            EXPECT_EQ(e.yv, 0);
        }
    }
}

TEST_F(MotionTest, TheSidesHoldOnlyBelowTheSurfaceLine) {
    entity e;
    e.x = -40, e.y = 600, e.xv = -20;
    e.UpdateMotion();
    EXPECT_EQ(e.x, 0);
    EXPECT_EQ(e.xv, 0);
    entity high;
    high.x = -40, high.y = 100, high.xv = -20, high.onground = 0;
    high.UpdateMotion();
    EXPECT_EQ(high.x, -42);
}

TEST_F(MotionTest, TakingAHit) {
    struct Case {
        int hp, invinced, f, damage;
        bool withsound;
        int wanthp, wantxv;
        bool changed;
    } cases[] = {
        {3, 0, 0, 1, true, 2, 40, true},
        {3, 0, 1, 1, true, 2, -40, true},
        {3, 0, 2, 0, false, 3, 7, true},  // neutral: no push sideways; 0 damage still hits
        {3, 0, 0, 5, true, 0, 40, true},  // never below 0
        {3, 4, 0, 1, true, 3, 7, false},  // invincible: nothing at all
        {0, 0, 0, 1, true, 0, 7, false},  // already down
    };
    for (const Case& c : cases) {
        headless::ClearSounds();
        entity e;
        e.HP = c.hp, e.invinced = (uint8_t)c.invinced, e.f = (uint8_t)c.f, e.xv = 7;
        e.TakeHit((uint8_t)c.damage, c.withsound ? &sfxoof : nullptr);
        SCOPED_TRACE(testing::Message() << c.hp << " " << c.invinced << " " << c.f << " " << c.damage);
        EXPECT_EQ(e.HP, c.wanthp);
        EXPECT_EQ(e.xv, c.wantxv);
        EXPECT_EQ(e.yv, c.changed ? -30 : 0);
        EXPECT_EQ(e.invinced, c.changed ? 30 : c.invinced);
        EXPECT_EQ(e.onground, c.changed ? 0 : 1);
        EXPECT_EQ(Played("sfx\\oof.wav"), c.changed && c.withsound ? 1 : 0);
    }
}
