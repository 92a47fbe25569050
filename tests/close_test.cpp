// The window's close button, wherever the player is: the program always
// ends soon after, with the world saved when play had begun and untouched
// when it had not. Screens nested inside play close on the request instead of
// keeping it until the player leaves them.
#include <filesystem>
#include <functional>

#include "areas/areas.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "overworld_testmap.h"
#include "engine/keys.h"
#include "platform/platform.h"
#include "base/base.h"
#include "shell/shell.h"
#include "testutil.h"

namespace {
struct Key {
    int frame, key;
    char how = 't';  // a tap, or 'd' down and 'u' up for a key held
};

struct Case {
    const char* where;
    std::vector<Key> keys;  // the taps that lead there
    int closeat;            // the frame the close button is clicked on
    bool saved;             // play had begun: the world is saved on the way out
    std::function<bool()> there;  // true while the player is where the case says
};

uint16_t GoldInPlayerFile() {
    const auto player = ReadBytes("worlds/Defaultia/player");
    return player.size() == 153 ? (uint16_t)(player[13] | player[14] << 8) : 0;
}

class CloseTest : public GameTest {};
}  // namespace

TEST_F(CloseTest, TheCloseButtonEndsTheProgramFromEveryScreenAndSavesOnlyWhatWasBegun) {
    // The title's items are Begin, Change World, Exit; the world list opens
    // on "New World", whose X opens the naming grid. On the overworld the
    // marker stands on home, whose area X opens; Enter there is the status
    // menu, Enter in an area the bag (once the player, who arrives at home
    // facing the screen, has turned to a side).
    const Case cases[] = {
        {"title", {}, 5, false, [] { return true; }},
        {"world list", {{3, KEY_RIGHT}, {5, KEY_X}}, 12, false, [] { return true; }},
        {"naming grid", {{3, KEY_RIGHT}, {5, KEY_X}, {8, KEY_X}, {10, KEY_X}}, 14, false, [] { return true; }},
        {"overworld", {{3, KEY_X}}, 20, true, [] { return invopen == 0; }},
        {"status menu", {{3, KEY_X}, {15, KEY_ENTER}}, 25, true, [] { return true; }},
        {"home area", {{3, KEY_X}, {15, KEY_X}}, 120, true, [] { return areawidth != AREAMAX; }},
        {"bag in the home area",
         {{3, KEY_X}, {15, KEY_X}, {100, KEY_RIGHT, 'd'}, {104, KEY_RIGHT, 'u'}, {110, KEY_ENTER}},
         125,
         true,
         [] { return invopen == 1; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        headless::Reset();
        quit = 0;
        std::filesystem::remove_all("worlds");
        std::filesystem::remove("settings.ini");
        MakeDir("worlds");
        Paint({"H"}, 100, 100);
        encountertype[100][100] = encounters::home;
        areawidth = areaheight = AREAMAX;  // no area resident
        homex = homey = 100;
        marker = actor{};
        marker.x = marker.y = 100;
        marker.f = 1;  // came in walking right: the player faces a side, where the bag's panel opens
        gold = 1234;
        ASSERT_TRUE(SaveWorld());
        const auto before = ReadBytes("worlds/Defaultia/player");

        for (const Key& k : c.keys)
            headless::At(k.frame, [k] {
                if (k.how == 'd')
                    headless::KeyDown(k.key);
                else if (k.how == 'u')
                    headless::KeyUp(k.key);
                else
                    headless::Tap(k.key);
            });
        // Gold that only the save on the way out can put in the file.
        headless::At(12, [] { gold = 4321; });
        bool there = false;
        headless::At(c.closeat, [&] {
            there = c.there();
            headless::RequestClose();
        });
        headless::SetFlipLimit(c.closeat + 200);
        EXPECT_THROW(RunGame(), headless::ProgramEnded);
        EXPECT_TRUE(there);
        // Ends promptly, after at most the wipe out of an area.
        EXPECT_LE(headless::Flips(), c.closeat + 60);
        if (c.saved) {
            EXPECT_EQ(GoldInPlayerFile(), 4321);
        } else {
            EXPECT_EQ(ReadBytes("worlds/Defaultia/player"), before);
            EXPECT_EQ(WORLDNAME, "Defaultia");
        }
    }
}
