// The status menu, driven through its own loop over the overworld.
#include <algorithm>

#include "creatures/creatures.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "base/base.h"
#include "testutil.h"
#include "ui/ui.h"

namespace {
const std::string MENU = "sfx\\menu.wav", NOPE = "sfx\\nope.wav", RAREDROP = "sfx\\raredrop.wav";

class StatusMenuTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        LoadAssets();
        headless::SetFlipLimit(2000);
    }
    // Runs the menu with the keys tapped two frames apart, then Escape.
    static void Run(const std::vector<int>& keys) {
        headless::Reset();
        headless::SetFlipLimit(2000);
        lasttime = 0;
        accum = 0;
        int frame = 2;
        for (int k : keys) {
            headless::At(frame, [k] { headless::KeyDown(k); });
            headless::At(frame + 1, [k] { headless::KeyUp(k); });
            frame += 2;
        }
        headless::At(frame + 2, [] { headless::Tap(KEY_ESCAPE); });
        StatusMenu();
    }
    static int Count(const std::string& sound) {
        const auto& s = headless::SoundsPlayed();
        return (int)std::count(s.begin(), s.end(), sound);
    }
};
}  // namespace

TEST_F(StatusMenuTest, RaisesCostTheLevelsTriangleAndStopAtEachRowsLimit) {
    struct Case {
        const char* what;
        uint8_t maxhp, maxap, apgain, alchemy, level;
        int32_t exp;
        std::vector<int> keys;
        uint8_t wantmaxhp, wantmaxap, wantapgain, wantalchemy, wantlevel;
        int32_t wantexp;
        int raises, refusals;
    } cases[] = {
        {"a new player's first heart", 3, 3, 1, 1, 1, 1, {KEY_X}, 4, 3, 1, 1, 2, 0, 1, 0},
        {"the second raise costs 3", 3, 3, 1, 1, 2, 2, {KEY_P}, 3, 3, 1, 1, 2, 2, 0, 1},
        {"level 4 costs 10", 3, 3, 1, 1, 4, 10, {KEY_S, KEY_X}, 3, 4, 1, 1, 5, 0, 1, 0},
        {"hearts stop at 10", 10, 3, 1, 1, 1, 50, {KEY_X}, 10, 3, 1, 1, 1, 50, 0, 1},
        {"gain is grey at 3 armour", 3, 3, 1, 1, 1, 50, {KEY_DOWN, KEY_DOWN, KEY_X}, 3, 3, 1, 1, 1, 50, 0, 1},
        {"gain reaches 2 at 5 armour", 3, 5, 1, 1, 1, 50, {KEY_DOWN, KEY_DOWN, KEY_X, KEY_X}, 3, 5, 2, 1, 2, 49, 1, 1},
        {"gain reaches 3 at 10 armour", 3, 10, 2, 1, 1, 50, {KEY_W, KEY_S, KEY_S, KEY_X, KEY_X}, 3, 10, 3, 1, 2, 49, 1, 1},
        {"alchemy stops at 10", 3, 3, 1, 9, 1, 50, {KEY_S, KEY_S, KEY_S, KEY_S, KEY_X, KEY_X}, 3, 3, 1, 10, 2, 49, 1, 1},
        {"armour stops at 10", 3, 10, 1, 1, 1, 50, {KEY_DOWN, KEY_X}, 3, 10, 1, 1, 1, 50, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        maxHP = c.maxhp;
        maxAP = c.maxap;
        APgain = c.apgain;
        alchemy = c.alchemy;
        level = c.level;
        player::exp = c.exp;
        Run(c.keys);
        EXPECT_EQ(maxHP, c.wantmaxhp);
        EXPECT_EQ(maxAP, c.wantmaxap);
        EXPECT_EQ(APgain, c.wantapgain);
        EXPECT_EQ(alchemy, c.wantalchemy);
        EXPECT_EQ(level, c.wantlevel);
        EXPECT_EQ(player::exp, c.wantexp);
        EXPECT_EQ(Count(RAREDROP), c.raises);
        EXPECT_EQ(Count(NOPE), c.refusals);
    }
}

TEST_F(StatusMenuTest, TheCursorStaysWithinTheFourRowsAndEachRealMovePlaysTheMenuSound) {
    // Up on the first row, then down four times (the last does nothing), then X on alchemy.
    player::exp = 1;
    Run({KEY_UP, KEY_W, KEY_DOWN, KEY_S, KEY_DOWN, KEY_DOWN, KEY_X});
    EXPECT_EQ(alchemy, 2);
    EXPECT_EQ(Count(MENU), 3);
}

TEST_F(StatusMenuTest, ThePanelFollowsTheLongerRowAndArmourNotRegainedIsBlack) {
    struct Case {
        uint8_t maxhp, maxap, ap;
        int width;  // of the panel's frame
    } cases[] = {{3, 3, 0, 69}, {7, 3, 0, 84}, {3, 5, 3, 69}, {10, 10, 10, 111}};
    for (const Case& c : cases) {
        maxHP = c.maxhp;
        maxAP = c.maxap;
        AP = c.ap;
        Run({});
        // The frame's colour along its top row, from x = 3.
        int width = 0;
        while (headless::Pixel(3 + width, 15) == 0xA08074u) ++width;
        EXPECT_EQ(width, c.width) << (int)c.maxhp << " hearts, " << (int)c.maxap << " shields";
        // Shields: the i-th is white up to AP and black after.
        for (int i = 1; i <= c.maxap; ++i) {
            const uint32_t* t = gfxshield.Frame(0);
            int k = 0;
            while (k < 63 && t[k] == 0) ++k;
            const uint32_t drawn = headless::Pixel(11 + 9 * i + k % 8, 32 + k / 8);
            EXPECT_EQ(drawn, i <= c.ap ? (t[k] & 0xFFFFFF) : 0u) << "shield " << i;
        }
    }
}

TEST_F(StatusMenuTest, EnterOnTheOverworldOpensTheMenuAndAnotherEnterClosesIt) {
    headless::Reset();
    headless::SetFlipLimit(500);
    lasttime = 0;
    accum = 0;
    // The opening press is used up by opening; the menu stays until the
    // next, which it sees right after presenting frame 20.
    bool shown = false, sawopened = false;
    headless::At(10, [&] {
        // The menu's frame is on the screen, over the overworld.
        shown = headless::Pixel(3, 15) == 0xA08074u;
        sawopened = Count(MENU) == 0 && Count(NOPE) == 0;
    });
    headless::At(20, [] { headless::Tap(KEY_ENTER); });
    headless::Tap(KEY_ENTER);
    UpdateOverworld();
    EXPECT_EQ(headless::Flips(), 20);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(sawopened) << "the opening press bought or moved nothing";
    // The closing press was used up by closing: the overworld does not
    // open the menu again with it.
    headless::NextPass();
    EXPECT_EQ(KeyPressed(KEY_ENTER), 0);
    EXPECT_EQ(headless::Flips(), 20);
}
