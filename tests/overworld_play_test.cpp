// Overworld play, one update step at a time as the main loop runs it, and
// the main loop itself: walking, scouting, the keys asked and the presses
// kept, arriving on tiles, saving and leaving.
#include <filesystem>
#include <fstream>

#include "areas/areas.h"
#include "creatures/creatures.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "overworld_testmap.h"
#include "base/assets.h"
#include "base/base.h"
#include "shell/shell.h"
#include "testutil.h"

namespace {
const std::string RAREDROP = "sfx\\raredrop.wav", OOF = "sfx\\oof.wav";

class PlayTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        for (const SoundEntry& s : soundcatalogue) s.sound->Load(s.path);
        marker.x = marker.y = 100;
    }
    // One update step of the main loop.
    static void Step() {
        headless::NextStep();
        if (!UpdateOverworld()) EndGame();
        UpdateArrival();
    }
    static void Hold(std::initializer_list<int> keys) {
        for (int k : keys) headless::KeyDown(k);
    }
    static void Release(std::initializer_list<int> keys) {
        for (int k : keys) headless::KeyUp(k);
    }
    // Asked in a pass of its own, as a later screen would.
    static bool Pending(int key) {
        headless::NextPass();
        return KeyPressed(key) > 0;
    }
};

struct Place {
    int x, y;
};
}  // namespace

TEST_F(PlayTest, HoldingADirectionWalksOneTilePerEightSteps) {
    KnowAll();
    Hold({KEY_RIGHT});
    std::vector<int> stepped;
    for (int step = 1; step <= 24; ++step) {
        const int x = marker.x;
        Step();
        if (marker.x != x) stepped.push_back(step);
        if (step == 1) {
            EXPECT_EQ(marker.moving, 7);
        }
    }
    EXPECT_EQ(stepped, (std::vector<int>{1, 9, 17}));
    EXPECT_EQ(marker.x, 103);
    EXPECT_EQ(marker.y, 100);
    EXPECT_EQ(marker.f, 1);
    EXPECT_TRUE(headless::SoundsPlayed().empty());
}

TEST_F(PlayTest, HeldKeysAreAskedUpDownLeftRight) {
    KnowAll();
    struct Case {
        std::vector<int> keys;
        int dx, dy, f;
    } cases[] = {
        {{KEY_W, KEY_D}, 0, -1, 0},  {{KEY_UP, KEY_S}, 0, -1, 0}, {{KEY_DOWN, KEY_LEFT}, 0, 1, 2},
        {{KEY_A, KEY_RIGHT}, -1, 0, 3}, {{KEY_D}, 1, 0, 1},        {{KEY_DOWN}, 0, 1, 2},
    };
    for (const Case& c : cases) {
        marker.x = marker.y = 100;
        marker.moving = 0;
        for (int k : c.keys) headless::KeyDown(k);
        Step();
        for (int k : c.keys) headless::KeyUp(k);
        EXPECT_EQ(marker.x, 100 + c.dx) << c.keys[0];
        EXPECT_EQ(marker.y, 100 + c.dy) << c.keys[0];
        EXPECT_EQ(marker.f, c.f) << c.keys[0];
    }
}

TEST_F(PlayTest, ARefusedStepTurnsTheMarkerInPlaceWithoutASound) {
    Paint({".^.",
           "~P~",
           "..."}, 99, 99);
    struct Case {
        Place at;
        int key, f;
    } cases[] = {
        {{100, 100}, KEY_RIGHT, 1}, {{100, 100}, KEY_W, 0}, {{100, 100}, KEY_A, 3},
        {{0, 50}, KEY_LEFT, 3},     {{511, 50}, KEY_D, 1},  {{50, 0}, KEY_UP, 0}, {{50, 511}, KEY_S, 2},
    };
    for (const Case& c : cases) {
        marker.x = c.at.x, marker.y = c.at.y;
        marker.f = (uint8_t)((c.f + 2) % 4);
        headless::KeyDown(c.key);
        Step();
        headless::KeyUp(c.key);
        EXPECT_EQ(marker.x, c.at.x);
        EXPECT_EQ(marker.y, c.at.y);
        EXPECT_EQ(marker.moving, 0);
        EXPECT_EQ(marker.f, c.f) << c.at.x << "," << c.at.y << " key " << c.key;
    }
    EXPECT_TRUE(headless::SoundsPlayed().empty());
}

TEST_F(PlayTest, ScoutingCostsTheLevelMultiplierTimesTheTier) {
    struct Case {
        int level;
        const char* above;
        int cost;
    } cases[] = {
        {0, "d", 3}, {1, ".", 1}, {2, "f", 2}, {3, "d", 3}, {4, ".", 2},
        {5, "d", 6}, {6, "f", 6}, {6, "^", 0}, {9, "~", 0}, {255, "d", 381},
    };
    for (const Case& c : cases) {
        Paint({c.above, "P"}, 100, 99);
        level = (uint8_t)c.level;
        player::exp = 1000;
        headless::ClearSounds();
        Hold({KEY_SPACE});
        headless::Tap(KEY_UP);
        Step();
        Release({KEY_SPACE});
        EXPECT_EQ(player::exp, 1000 - c.cost) << "level " << c.level << " on " << c.above;
        EXPECT_EQ(encountertype[100][99], encounters::cleared);
        EXPECT_EQ(headless::SoundsPlayed(), std::vector<std::string>{RAREDROP});
    }
}

TEST_F(PlayTest, ScoutingWithoutEnoughExperienceIsRefused) {
    struct Case {
        int exp;
        bool scouted;
    } cases[] = {{2, true}, {1, false}, {0, false}, {-5, false}};
    for (const Case& c : cases) {
        Paint({"f", "P"}, 100, 99);  // forest at level 1 costs 2
        player::exp = c.exp;
        headless::ClearSounds();
        Hold({KEY_SPACE});
        headless::Tap(KEY_W);
        Step();
        Release({KEY_SPACE});
        EXPECT_EQ(player::exp, c.scouted ? 0 : c.exp);
        EXPECT_EQ(encountertype[100][99], c.scouted ? encounters::cleared : encounters::wild);
        EXPECT_EQ(headless::SoundsPlayed(), std::vector<std::string>{c.scouted ? RAREDROP : OOF});
    }
}

TEST_F(PlayTest, ScoutingTakesTheFirstPressedWildSideAndLeavesLaterPressesPending) {
    player::exp = 100;
    Paint({".P.",
           ".Pd",
           ".f."}, 99, 99);
    Hold({KEY_SPACE});
    // Up is known: its press is used up, and Left is the first that
    // qualifies; Right waits for the next step.
    headless::Tap(KEY_UP);
    headless::Tap(KEY_LEFT);
    headless::Tap(KEY_D);
    Step();
    EXPECT_EQ(Types(3, 3, 99, 99), (Rows{"010", "110", "000"}));
    EXPECT_EQ(player::exp, 99);
    Step();
    EXPECT_EQ(Types(3, 3, 99, 99), (Rows{"010", "111", "000"}));
    EXPECT_EQ(player::exp, 96);
    // Scouting does not walk, even with a direction held.
    Hold({KEY_DOWN});
    Step();
    EXPECT_EQ(Types(3, 3, 99, 99), (Rows{"010", "111", "010"}));
    EXPECT_EQ(marker.y, 100);
    EXPECT_EQ(player::exp, 94);
}

TEST_F(PlayTest, PressesMadeWithoutSpaceNeverScout) {
    player::exp = 100;
    Paint({"PP."}, 99, 100);
    headless::Tap(KEY_RIGHT);
    Step();
    Hold({KEY_SPACE});
    Step();
    EXPECT_EQ(encountertype[101][100], encounters::wild);
    EXPECT_EQ(player::exp, 100);
    // A press made while Space is up again, mid-scout, is dropped too.
    Release({KEY_SPACE});
    headless::Tap(KEY_D);
    Step();
    Hold({KEY_SPACE});
    Step();
    EXPECT_EQ(encountertype[101][100], encounters::wild);
}

TEST_F(PlayTest, ScoutingWildWaterIsFreeAndKnowsTheWholeLake) {
    player::exp = 0;
    Paint({"...^^^",
           "P~~~~^",
           "..~.~~",
           "...~.."}, 100, 99);
    Hold({KEY_SPACE});
    headless::Tap(KEY_RIGHT);
    Step();
    EXPECT_EQ(Types(6, 4, 100, 99), (Rows{"000110",  // the corner peak touches no water
                                          "111111",
                                          "001011",
                                          "000000"}));
    EXPECT_EQ(player::exp, 0);
    EXPECT_EQ(headless::SoundsPlayed(), std::vector<std::string>{RAREDROP});
}

TEST_F(PlayTest, EnteringAsksXThenPAndEnterOnlyWhenNothingOpened) {
    // An area that opens drops the presses waiting for it; with the window
    // closed it ends after its first frame.
    quit = 1;
    struct Case {
        uint8_t type;
        std::vector<int> taps;
        bool opens, ppending;
    } cases[] = {
        {encounters::wild, {KEY_X, KEY_P}, false, true},
        {encounters::cleared, {KEY_X, KEY_ENTER}, true, false},
        {encounters::village, {KEY_P, KEY_ENTER}, true, false},
        {encounters::home, {KEY_X, KEY_P}, true, false},
        {encounters::claimed, {KEY_P}, true, false},
    };
    for (const Case& c : cases) {
        encountertype[100][100] = c.type;
        for (int k : c.taps) headless::Tap(k);
        testing::internal::CaptureStdout();
        Step();
        const bool opened = testing::internal::GetCapturedStdout().find("entering encounter type") != std::string::npos;
        EXPECT_EQ(opened, c.opens) << (int)c.type;
        EXPECT_EQ(Pending(KEY_P), c.ppending) << (int)c.type;
        EXPECT_FALSE(Pending(KEY_ENTER)) << (int)c.type;
        EXPECT_FALSE(Pending(KEY_X));
    }
    quit = 0;
    // While scouting none of them is asked.
    Hold({KEY_SPACE});
    headless::Tap(KEY_X);
    headless::Tap(KEY_ENTER);
    Step();
    EXPECT_TRUE(Pending(KEY_X));
    EXPECT_TRUE(Pending(KEY_ENTER));
}

TEST_F(PlayTest, EscapeAndTheCloseButtonWaitWhileSpaceIsHeld) {
    MakeDir("worlds");
    Hold({KEY_SPACE});
    headless::Tap(KEY_ESCAPE);
    headless::RequestClose();
    Step();
    EXPECT_EQ(quit, 0);
    EXPECT_TRUE(ListDir("worlds").empty());
    Release({KEY_SPACE});
    // Escape comes first: it saves the world and opens the title screen,
    // where the close request that waited all along ends the game.
    EXPECT_THROW(Step(), headless::ProgramEnded);
    EXPECT_EQ(ReadBytes("worlds/Defaultia/player").size(), 153u);
    EXPECT_EQ(quit, 1);
}

TEST_F(PlayTest, EscapeDuringASlideIsTakenWhenTheSlideEnds) {
    MakeDir("worlds");
    KnowAll();
    Hold({KEY_RIGHT});
    Step();
    Release({KEY_RIGHT});
    headless::Tap(KEY_ESCAPE);
    // The title screen that Escape opens is left by its own Escape.
    headless::EveryFlip([] { headless::Tap(KEY_ESCAPE); });
    int steps = 1;
    try {
        while (steps < 20) {
            ++steps;
            Step();
        }
    } catch (const headless::ProgramEnded&) {
    }
    EXPECT_EQ(steps, 9);
    const auto player = ReadBytes("worlds/Defaultia/player");
    ASSERT_EQ(player.size(), 153u);
    EXPECT_EQ(player[23], 101);  // the marker's x
}

TEST_F(PlayTest, ArrivingOnAWildOrClaimedTileStartsItWithTwoPixelsOfTheSlideLeft) {
    struct Case {
        uint8_t type;
        bool starts;
    } cases[] = {{encounters::wild, true},  {encounters::claimed, true}, {encounters::cleared, false},
                 {encounters::home, false}, {encounters::village, false}};
    // With the window closed an encounter ends after its first frame and
    // leaves the marker sliding (8) on its tile.
    quit = 1;
    for (const Case& c : cases) {
        marker.x = 100, marker.moving = 0;
        justleft = 0;
        encountertype[100][100] = encounters::cleared;
        encountertype[101][100] = c.type;
        Hold({KEY_RIGHT});
        Step();
        Release({KEY_RIGHT});
        std::vector<int> moving{marker.moving};
        for (int i = 0; i < 7; ++i) {
            Step();
            moving.push_back(marker.moving);
        }
        EXPECT_EQ(moving, c.starts ? (std::vector<int>{7, 6, 5, 4, 3, 2, 8, 7}) : (std::vector<int>{7, 6, 5, 4, 3, 2, 1, 0}))
            << (int)c.type;
    }
}

TEST_F(PlayTest, AfterAnEncounterTheSlideFinishesOnceAndTheTileStartsAgainLater) {
    // As an encounter leaves it: on the wild tile, sliding, with justleft set.
    marker.x = 101, marker.f = 1, marker.moving = 8;
    justleft = 1;
    std::vector<int> moving, left;
    for (int i = 0; i < 8; ++i) {
        Step();
        moving.push_back(marker.moving);
        left.push_back(justleft);
    }
    EXPECT_EQ(moving, (std::vector<int>{7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(left, (std::vector<int>{1, 1, 1, 1, 1, 1, 0, 0}));
    // Off and back on: the tile starts again.
    encountertype[100][100] = encounters::cleared;
    Hold({KEY_LEFT});
    for (int i = 0; i < 8; ++i) Step();
    Release({KEY_LEFT});
    // The encounter starts on arrival; with the window closed it ends after
    // its first frame and leaves the marker sliding on the tile again.
    quit = 1;
    Hold({KEY_RIGHT});
    for (int i = 0; i < 7; ++i) Step();
    Release({KEY_RIGHT});
    EXPECT_EQ(marker.x, 101);
    EXPECT_EQ(marker.moving, 8);
    EXPECT_EQ(justleft, 1);
}

TEST_F(PlayTest, TheMainLoopPlaysTheSavedWorldAndSavesItWhenLeft) {
    struct Case {
        const char* how;
        std::function<void()> leave;
    } cases[] = {
        {"close button", [] { headless::RequestClose(); }},
        {"Escape", [] { headless::Tap(KEY_ESCAPE); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        headless::Reset();
        std::filesystem::remove_all("worlds");
        MakeDir("worlds");
        KnowAll();
        marker.x = marker.y = 100;
        marker.f = 0;
        marker.moving = 0;
        gold = 1234;
        ASSERT_TRUE(SaveWorld());
        gold = 0;
        // Begin on the title screen, walk, leave; Escape comes back to the
        // title, where a second Escape ends the game.
        headless::At(2, [] { headless::Tap(KEY_X); });
        headless::At(10, [] { headless::KeyDown(KEY_RIGHT); });
        headless::At(35, [] { headless::KeyUp(KEY_RIGHT); });
        headless::At(55, c.leave);
        headless::At(70, [] { headless::Tap(KEY_ESCAPE); });
        headless::SetFlipLimit(300);
        EXPECT_THROW(RunGame(), headless::ProgramEnded);
        const auto player = ReadBytes("worlds/Defaultia/player");
        ASSERT_EQ(player.size(), 153u);
        EXPECT_GE(player[23], 103);  // walked right
        EXPECT_EQ(player[31], 1);    // facing right
        EXPECT_EQ(player[13] | player[14] << 8, 1234);
        EXPECT_LT(headless::Flips(), 80);
    }
}

TEST_F(PlayTest, ADamagedWorldIsNeitherPlayedNorTouched) {
    MakeDir("worlds");
    ASSERT_TRUE(SaveWorld());
    auto player = ReadBytes("worlds/Defaultia/player");
    player.pop_back();
    {
        std::ofstream out("worlds/Defaultia/player", std::ios::binary | std::ios::trunc);
        out.write((const char*)player.data(), (std::streamsize)player.size());
    }
    const auto map = ReadBytes("worlds/Defaultia/overworld");
    // Begin: refused; the title stays until Escape.
    headless::At(2, [] { headless::Tap(KEY_X); });
    headless::At(200, [] { headless::Tap(KEY_ESCAPE); });
    headless::SetFlipLimit(400);
    testing::internal::CaptureStderr();
    EXPECT_THROW(RunGame(), headless::ProgramEnded);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("World damaged"), std::string::npos) << err;
    EXPECT_EQ(ReadBytes("worlds/Defaultia/player"), player);
    EXPECT_EQ(ReadBytes("worlds/Defaultia/overworld"), map);
    EXPECT_EQ(ListDir("worlds\\Defaultia").size(), 2u);
}
