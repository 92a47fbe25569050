// A new world: what every generated map must hold, the player reset onto
// home, and the world saved at once.
#include <set>

#include "creatures/creatures.h"
#include "engine/dice.h"
#include "overworld/overworld.h"
#include "base/base.h"
#include "testutil.h"

namespace {
class GenerateTest : public GameTest {};

const int SIDES[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
}  // namespace

TEST_F(GenerateTest, EveryNewWorldHoldsItsInvariants) {
    MakeDir("worlds");
    for (int32_t seed : {1, 4660, 987654321}) {
        SCOPED_TRACE(seed);
        // Left over from a world played before: all of it must go.
        maxHP = 9;
        maxAP = 7;
        AP = 5;
        APgain = 2;
        gold = 500;
        alchemy = 4;
        level = 12;
        player::exp = 77;
        invitem[3][5] = 256;
        invamt[3][5] = 40;
        marker.x = 3;
        marker.y = 4;
        for (auto& column : encountertype)
            for (auto& t : column) t = encounters::claimed;
        SeedRand(seed);
        // The new world opens in its home area; with the window closed that
        // stay ends after its first frame.
        quit = 1;
        GenerateWorld();
        SaveWorld();
        BeginAtHome();

        int homes = 0, hometypes = 0, villages = 0;
        std::set<int> codes, types;
        for (int x = 0; x < WORLDW; ++x)
            for (int y = 0; y < WORLDH; ++y) {
                const uint8_t t = terrain[x][y], e = encountertype[x][y];
                codes.insert(t);
                types.insert(e);
                homes += t == terrains::home;
                hometypes += e == encounters::home;
                if (e == encounters::village) {
                    ++villages;
                    EXPECT_FALSE(IsBlocked(x, y)) << x << "," << y;
                    EXPECT_NE(t, terrains::home);
                    // A village makes the water and peaks at its sides known.
                    for (auto s : SIDES) {
                        if (InWorld(x + s[0], y + s[1]) && IsBlocked(x + s[0], y + s[1])) {
                            EXPECT_EQ(EncounterAt(x + s[0], y + s[1]), encounters::cleared);
                        }
                    }
                }
                // Only the villages' floods make anything known at first.
                if (e == encounters::cleared) {
                    EXPECT_TRUE(t == terrains::water || t == terrains::mountain);
                }
            }
        EXPECT_EQ(homes, 1);
        EXPECT_EQ(hometypes, 1);
        EXPECT_EQ(terrain[homex][homey], terrains::home);
        EXPECT_EQ(encountertype[homex][homey], encounters::home);
        for (auto s : SIDES) {
            if (InWorld(homex + s[0], homey + s[1])) {
                EXPECT_EQ(TerrainAt(homex + s[0], homey + s[1]), terrains::plains);
            }
        }
        EXPECT_EQ(villages, 262);
        for (int c : codes) EXPECT_TRUE(c <= 4 || c == 6) << c;
        EXPECT_EQ(types, (std::set<int>{0, 1, 3, 4}));
        // Every kind of land is made.
        EXPECT_EQ(codes, (std::set<int>{0, 1, 2, 3, 4, 6}));

        EXPECT_EQ(marker.x, homex);
        EXPECT_EQ(marker.y, homey);
        EXPECT_EQ(maxHP, 3);
        EXPECT_EQ(maxAP, 3);
        EXPECT_EQ(AP, 0);
        EXPECT_EQ(APgain, 1);
        EXPECT_EQ(gold, 0);
        EXPECT_EQ(alchemy, 1);
        EXPECT_EQ(level, 1);
        EXPECT_EQ(player::exp, 0);
        for (int c = 0; c < INVCOLS; ++c)
            for (int r = 0; r < INVROWS; ++r) EXPECT_EQ(invitem[c][r] | invamt[c][r], 0);
    }
}

TEST_F(GenerateTest, TheNewWorldIsSavedAtOnceUnderItsName) {
    WORLDNAME = "Fresh";
    MakeDir("worlds");
    testing::internal::CaptureStdout();
    // Saved before the home area opens: with the window closed it ends
    // after its first frame.
    quit = 1;
    headless::At(3, [] { EXPECT_EQ(ReadBytes("worlds/Fresh/overworld").size(), 524296u); });
    GenerateWorld();
    SaveWorld();
    BeginAtHome();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "saving world: Fresh\nworld saved: Fresh\nentering encounter type: 3\nleaving encounter type: 3\n");
    EXPECT_EQ(ReadBytes("worlds/Fresh/overworld").size(), 524296u);
    EXPECT_EQ(ReadBytes("worlds/Fresh/player").size(), 153u);
    // The generation and save notices, the area's making and saving, its
    // wipe in, one frame, its wipe out, its saving and the overworld's
    // uncovering.
    EXPECT_EQ(headless::Flips(), 2 + 2 + 20 + 1 + 20 + 1 + 20);
}

TEST_F(GenerateTest, TheSameDrawsMakeTheSameWorldWhateverWasThereBefore) {
    SeedRand(31337);
    MakeWorldMap();
    std::vector<uint8_t> first(&terrain[0][0], &terrain[0][0] + sizeof terrain);
    std::vector<uint8_t> firsttypes(&encountertype[0][0], &encountertype[0][0] + sizeof encountertype);
    for (auto& column : terrain)
        for (auto& t : column) t = terrains::desert;
    for (auto& column : encountertype)
        for (auto& t : column) t = encounters::claimed;
    SeedRand(31337);
    MakeWorldMap();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), &terrain[0][0]));
    EXPECT_TRUE(std::equal(firsttypes.begin(), firsttypes.end(), &encountertype[0][0]));
}
