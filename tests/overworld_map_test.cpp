// The map's questions, its answers off the map, and how knowledge spreads
// along water.
#include <cstring>
#include <memory>

#include "overworld/overworld.h"
#include "overworld_testmap.h"
#include "testutil.h"

namespace {
class MapTest : public GameTest {};

struct Layers {
    uint8_t t[WORLDW][WORLDH], e[WORLDW][WORLDH];
};
std::unique_ptr<Layers> Snapshot() {
    auto s = std::make_unique<Layers>();
    std::memcpy(s->t, terrain, sizeof terrain);
    std::memcpy(s->e, encountertype, sizeof encountertype);
    return s;
}
bool Unchanged(const Layers& s) {
    return std::memcmp(s.t, terrain, sizeof terrain) == 0 && std::memcmp(s.e, encountertype, sizeof encountertype) == 0;
}
}  // namespace

TEST_F(MapTest, OffTheMapIsWildWaterThatNothingChanges) {
    // Wild water all round the edge, so a flood leaking in from outside would show.
    for (int i = 0; i < WORLDW; ++i)
        for (int j : {0, WORLDH - 1}) {
            terrain[i][j] = terrain[j][i] = terrains::water;
            encountertype[i][j] = encountertype[j][i] = encounters::wild;
        }
    auto before = Snapshot();
    const int outside[][2] = {{-1, 0}, {512, 7}, {0, 600}, {0, -1}, {511, 512}, {-1000000, 3}, {5, 2147483647}};
    for (auto p : outside) {
        const int x = p[0], y = p[1];
        EXPECT_FALSE(InWorld(x, y)) << x << "," << y;
        EXPECT_EQ(TerrainAt(x, y), terrains::water) << x << "," << y;
        EXPECT_EQ(EncounterAt(x, y), encounters::wild) << x << "," << y;
        EXPECT_TRUE(IsBlocked(x, y)) << x << "," << y;
        EXPECT_EQ(TierAt(x, y), 0) << x << "," << y;
        EXPECT_FALSE(SetTerrain(x, y, terrains::plains, true)) << x << "," << y;
        Reveal(x, y);
        FloodReveal(x, y);
    }
    EXPECT_TRUE(Unchanged(*before));
    const int corners[][2] = {{0, 0}, {511, 0}, {0, 511}, {511, 511}};
    for (auto p : corners) EXPECT_TRUE(InWorld(p[0], p[1]));
}

TEST_F(MapTest, TierAndBlockingByTerrainCode) {
    struct Case {
        uint8_t code;
        int tier;
        bool blocked;
    } cases[] = {{0, 1, false}, {1, 0, true},  {2, 0, true},  {3, 2, false},  {4, 3, false},
                 {5, 0, false}, {6, 0, false}, {7, 0, false}, {255, 0, false}};
    for (const Case& c : cases) {
        terrain[10][20] = c.code;
        EXPECT_EQ(TierAt(10, 20), c.tier) << (int)c.code;
        EXPECT_EQ(IsBlocked(10, 20), c.blocked) << (int)c.code;
    }
}

TEST_F(MapTest, SetTerrainWritesOnPlainsOrWhenForced) {
    Paint({".f^~"});
    EXPECT_TRUE(SetTerrain(0, 0, terrains::desert, false));
    EXPECT_FALSE(SetTerrain(1, 0, terrains::desert, false));
    EXPECT_FALSE(SetTerrain(2, 0, terrains::desert, false));
    EXPECT_EQ(TerrainAt(0, 0), terrains::desert);
    EXPECT_EQ(TerrainAt(1, 0), terrains::forest);
    EXPECT_EQ(TerrainAt(2, 0), terrains::mountain);
    for (int x = 1; x <= 3; ++x) EXPECT_TRUE(SetTerrain(x, 0, terrains::home, true));
    EXPECT_EQ(TerrainAt(3, 0), terrains::home);
}

TEST_F(MapTest, FloodFollowsWildWaterAndStopsAtItsShores) {
    Paint({"^^^^^^^..",
           "^~~~.~~^.",
           ".~^~.~#~~",
           "f~~~d.^..",
           "..h~.~~..",
           ".....~^^."});
    FloodReveal(1, 1);
    EXPECT_EQ(Types(9, 6), (Rows{"011100000",  // peaks touching the lake, not those beyond a peak
                                 "111100000",  // the lake, not the water across the plains
                                 "011100100",  // the island peak; # was known already
                                 "011100000",
                                 "000100000",  // the lake's tail, joined only by its side
                                 "000000000"}));
}

TEST_F(MapTest, FloodOnlyStartsOnWildWaterOrAMountain) {
    struct Case {
        const char* row;  // the flood starts on the second tile
        const char* after;
    } cases[] = {
        {"~.~~", "0000"},  // plains beside wild water
        {"~f~~", "0000"},
        {"~d~~", "0000"},
        {"~h~~", "0000"},
        {"~5~~", "0000"},
        {"~#~~", "0100"},  // known water does not pass the flood on
        {"~^~~", "0100"},  // a peak becomes known and stops it
        {"~~.~", "1100"},  // water across land is another lake
    };
    for (const Case& c : cases) {
        Paint({c.row, "...."});
        FloodReveal(1, 0);
        EXPECT_EQ(Types(4, 1)[0], c.after) << c.row;
    }
}

TEST_F(MapTest, ASeaCoveringTheWholeMapFloodsWithoutRecursing) {
    for (auto& column : terrain)
        for (auto& t : column) t = terrains::water;
    FloodReveal(256, 256);
    size_t known = 0;
    for (auto& column : encountertype)
        for (auto t : column) known += t == encounters::cleared;
    EXPECT_EQ(known, (size_t)WORLDW * WORLDH);
}

TEST_F(MapTest, RevealKnowsTheTileWhateverItWasAndFloodsFromItsSides) {
    Paint({"~~..^",
           "f.~~.",
           "~.d.."});
    encountertype[1][1] = encounters::village;
    Reveal(1, 1);
    EXPECT_EQ(Types(5, 3), (Rows{"11000",    // the water above and its lake
                                 "01110",    // the village itself, the water to its right
                                 "00000"}));  // water on a corner only stays wild
}
