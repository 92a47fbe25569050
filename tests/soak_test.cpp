// A long stretch of random keys through the real program: the title screen,
// the world screens, the overworld, areas, menus and the inventory. After
// every frame the lasting state must be in its ranges, and every world it
// leaves behind must load again.
#include <random>

#include "areas/areas.h"
#include "areas/inventory.h"
#include "creatures/creatures.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "base/base.h"
#include "shell/shell.h"
#include "testutil.h"

namespace {
class SoakTest : public GameTest {};

// Keys a player might press, the movement keys more often than the rest.
const int KEYS[] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_A,
                    KEY_D,    KEY_W,     KEY_S,  KEY_X,    KEY_P,    KEY_Z,     KEY_O,  KEY_X,    KEY_Z,
                    KEY_SPACE, KEY_ENTER, KEY_ESCAPE, KEY_0, KEY_1,  KEY_2,     KEY_3};

void CheckLastingState(int frame) {
    ASSERT_GE(maxHP, 1) << "frame " << frame;
    ASSERT_LE(maxHP, 10) << "frame " << frame;
    ASSERT_LE(maxAP, 10) << "frame " << frame;
    ASSERT_LE(AP, maxAP) << "frame " << frame;
    ASSERT_LE(alchemy, 10) << "frame " << frame;
    ASSERT_GE(gold, 0) << "frame " << frame;
    for (int c = 0; c < INVCOLS; ++c)
        for (int r = 0; r < INVROWS; ++r) {
            const uint16_t item = invitem[c][r];
            if (item == 0) continue;
            const uint16_t limit = StackLimit(item);
            ASSERT_LE(invamt[c][r], limit > 1 ? limit : 65535) << "frame " << frame;
        }
    ASSERT_FALSE(IsBlocked(marker.x, marker.y)) << "frame " << frame;
}
}  // namespace

TEST_F(SoakTest, RandomKeysKeepEveryLastingValueInItsRange) {
    std::mt19937 dice(20261210);
    const int FRAMES = 100000;
    int frame = 0, runs = 0;
    bool failed = false;
    headless::SetFlipLimit(0);
    headless::EveryFlip([&] {
        ++frame;
        if (frame >= FRAMES) throw headless::FlipLimitReached{};
        // Let go of what was held now and then; press something new.
        if (dice() % 4 == 0) {
            const int key = KEYS[dice() % (sizeof KEYS / sizeof KEYS[0])];
            if (dice() % 3 == 0)
                headless::KeyDown(key);
            else
                headless::Tap(key);
        }
        if (dice() % 6 == 0)
            for (int key : KEYS) headless::KeyUp(key);
        if (!failed) {
            CheckLastingState(frame);
            failed = ::testing::Test::HasFatalFailure();
        }
        if (failed) throw headless::FlipLimitReached{};
    });
    while (frame < FRAMES && !failed) {
        ++runs;
        quit = 0;
        try {
            RunGame();
        } catch (const headless::ProgramEnded&) {
        } catch (const headless::FlipLimitReached&) {
        }
    }
    headless::EveryFlip(nullptr);
    // Every world left behind loads again: its files are whole.
    int worlds = 0;
    for (const std::string& name : ListDir("worlds")) {
        if (ReadBytes("worlds/" + name + "/overworld").empty()) continue;
        WORLDNAME = name;
        ++worlds;
        EXPECT_TRUE(LoadWorld()) << name;
        // No area file of it was ever found damaged and kept aside.
        for (const std::string& file : ListDir("worlds\\" + name))
            EXPECT_EQ(file.find(".bad"), std::string::npos) << name << "/" << file;
    }
    EXPECT_GE(worlds, 1);
    EXPECT_FALSE(failed);
    EXPECT_GE(runs, 1);
}
