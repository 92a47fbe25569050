// The block queries, the making of areas from their overworld tile, and the
// trees that grow in them.
#include <cstring>
#include <utility>
#include <vector>

#include "area_fixture.h"
#include "areas/npc.h"
#include "engine/dice.h"

namespace {
class AreaModelTest : public AreaTest {
protected:
    static void Make(uint8_t t, uint8_t enc, int w, int h) {
        terrain[7][9] = t;
        encountertype[7][9] = enc;
        ASSERT_TRUE(GenerateArea(7, 9, w, h));
    }
};
}  // namespace

TEST_F(AreaModelTest, TileQueries) {
    FlatArea(20, 10);
    for (auto [px, tile] : {std::pair{-1, 0}, {-15, 0}, {-16, -1}, {15, 0}, {16, 1}}) EXPECT_EQ(ToTile(px), tile) << px;
    EXPECT_TRUE(IsSolid(-1, 5));
    EXPECT_TRUE(IsSolid(20, 5));
    EXPECT_FALSE(IsSolid(-1, 4));
    EXPECT_TRUE(IsSolid(3, 10));
    EXPECT_FALSE(IsSolid(3, -1));
    for (uint8_t code = 0; code < 20; ++code) {
        areatiles[2][2] = code;
        const bool solid = code == 1 || code == 2 || code == 3 || code == 5 || code == 7 || code == 8 || code == 9 ||
                           code == 10;
        EXPECT_EQ(IsSolid(2, 2), solid) << (int)code;
    }
    areatiles[2][2] = blocks::air;
    EXPECT_FALSE(SetBlock(2, 6, blocks::dirt, false));
    EXPECT_EQ(GetBlock(2, 6), blocks::stone);
    EXPECT_TRUE(SetBlock(2, 6, blocks::dirt, true));
    EXPECT_EQ(GetBlock(2, 6), blocks::dirt);
    EXPECT_FALSE(SetBlock(20, 6, blocks::dirt, true));
    EXPECT_EQ(GetBlock(-1, 6), blocks::air);
    EXPECT_EQ(FindSurface(3, 5), 4);
    EXPECT_EQ(FindSurface(3, 2), 3);  // nothing solid under row 2
    areatiles[3][4] = blocks::grass;
    EXPECT_EQ(FindSurface(3, 5), 3);
}

TEST_F(AreaModelTest, SizesBeyondTheGridsAreRefused) {
    FlatArea(40, 30);
    terrain[7][9] = terrains::plains;
    for (auto [w, h] : {std::pair{257, 24}, {128, 300}, {0, 24}, {128, -1}}) {
        EXPECT_FALSE(GenerateArea(7, 9, w, h)) << w << "x" << h;
        EXPECT_EQ(areawidth, 40);
        EXPECT_EQ(areaheight, 30);
        EXPECT_EQ(GetBlock(5, 20), blocks::stone);
    }
    EXPECT_EQ(headless::Flips(), 0);
    EXPECT_TRUE(GenerateArea(7, 9, 256, 256));
}

TEST_F(AreaModelTest, GroundByTerrain) {
    for (int seed = 1; seed <= 3; ++seed) {
        SeedRand(seed);
        // Plains and forest: grass on top, four rows of dirt under row half,
        // stone or dirt below, nothing above three rows over the line but trees.
        for (uint8_t t : {terrains::plains, terrains::forest}) {
            Make(t, encounters::wild, 128, 24);
            const int half = 12;
            for (int x = 0; x < 128; ++x) {
                for (int y = half + 1; y <= half + 4; ++y) EXPECT_EQ(GetBlock(x, y), blocks::dirt) << x << "," << y;
                for (int y = half + 5; y < 24; ++y) {
                    const uint8_t b = GetBlock(x, y);
                    EXPECT_TRUE(b == blocks::dirt || b == blocks::stone);
                }
                const uint8_t top = GetBlock(x, half);
                EXPECT_TRUE(top == blocks::grass || top == blocks::dirt);
            }
        }
        // Desert: the sand's top lies between half - 9 and half in every column.
        Make(terrains::desert, encounters::wild, 128, 24);
        for (int x = 0; x < 128; ++x) {
            EXPECT_EQ(GetBlock(x, 12), blocks::sand);
            int top = 12;
            while (GetBlock(x, top - 1) == blocks::sand) --top;
            EXPECT_GE(top, 12 - 9);
            for (int y = 0; y < top; ++y) EXPECT_EQ(GetBlock(x, y), blocks::air);
        }
        // Home: bedrock from the line down, at most three ragged rows above.
        Make(terrains::home, encounters::home, 32, 32);
        for (int x = 0; x < 32; ++x) {
            for (int y = 16; y < 32; ++y) EXPECT_EQ(GetBlock(x, y), blocks::bedrock);
            for (int y = 0; y < 13; ++y) EXPECT_EQ(GetBlock(x, y), blocks::air);
            for (int y = 13; y < 16; ++y) {
                if (GetBlock(x, y) == blocks::bedrock) {
                    EXPECT_EQ(GetBlock(x, y + 1), blocks::bedrock);
                }
            }
        }
    }
    // Anything else is all air; the old area is gone either way.
    Make(terrains::mountain, encounters::cleared, 64, 64);
    for (int x = 0; x < 128; ++x)
        for (int y = 0; y < 64; ++y) ASSERT_EQ(areatiles[x][y], blocks::air);
    EXPECT_EQ(areawidth, 64);
}

TEST_F(AreaModelTest, AVillageHasEightHousesWithOnePersonEach) {
    for (int seed = 1; seed <= 5; ++seed) {
        SeedRand(seed);
        npcs.Clear();
        Make(terrains::plains, encounters::village, 128, 64);
        ASSERT_EQ(npcs.Count(), 8u);
        npcs.ForEach([](NPC* n) {
            EXPECT_LE(n->kind, 2);
            // Standing on a floor of row half.
            EXPECT_EQ(n->y % 16, 0);
            EXPECT_LE(n->y / 16, 31);
            EXPECT_GE(n->y / 16, 31 - 5);
            if (n->kind == npckinds::shopkeeper) {
                EXPECT_EQ(n->stock[0], 256);
                EXPECT_EQ(n->amt[1], 450);
                EXPECT_EQ(n->stock[4], 0);
            }
        });
        int bricks = 0;
        for (int x = 0; x < 128; ++x) bricks += GetBlock(x, 32) == blocks::brick;
        EXPECT_GT(bricks, 0);
    }
}

TEST_F(AreaModelTest, AHouseOpensDoorsOnlyWhereOutsideHasStandingRoom) {
    // Find where the house goes, then build it again with a wall of stone
    // against its right side.
    FlatArea(40, 20);
    SeedRand(11);
    const int32_t saved = randstate;
    BuildHouse();
    int left = -1, right = -1;
    for (int x = 0; x < 40; ++x)
        if (GetBlock(x, 10) == blocks::brick) {
            if (left < 0) left = x;
            right = x;
        }
    ASSERT_GE(left, 0);
    FlatArea(40, 20);
    npcs.Clear();
    for (int y = 0; y < 10; ++y) areatiles[right + 1][y] = blocks::stone;
    randstate = saved;
    BuildHouse();
    int leftdoors = 0, rightdoors = 0;
    for (int y = 0; y < 10; ++y) {
        leftdoors += GetBlock(left, y) == blocks::planks;
        rightdoors += GetBlock(right, y) == blocks::planks;
    }
    // Only the row just above the ground outside is a doorway.
    EXPECT_EQ(leftdoors, 1);
    EXPECT_EQ(GetBlock(left, 9), blocks::planks);
    EXPECT_EQ(rightdoors, 0);
    EXPECT_EQ(npcs.Count(), 1u);
}

TEST_F(AreaModelTest, NpcsTurnToThePlayerAndKeepToThreeKinds) {
    NPC n;
    n.x = 100;
    n.SetKind(9);
    EXPECT_EQ(n.kind, npckinds::villager);
    EXPECT_LE(n.dialogue, 8);
    n.SetKind(1);
    EXPECT_GE(n.dialogue, 256);
    EXPECT_LE(n.dialogue, 264);
    n.Act(50, 0);
    EXPECT_EQ(n.f, 0);
    n.Act(100, 0);
    EXPECT_EQ(n.f, 0);
    n.Act(150, 0);
    EXPECT_EQ(n.f, 1);
}

// ---------------------------------------------------------------- trees

namespace {
// A tree planted on flat ground in the middle of a narrow area, its foot on
// the air tile over row half.
constexpr int TREEW = 9, TREEH = 40, TREEX = 4, TREEFOOT = TREEH / 2 - 1;

// Wood blocks in a column, counted up from the foot without a gap.
int WoodAbove(int x, int foot) {
    int n = 0;
    while (GetBlock(x, foot - n) == blocks::wood) ++n;
    return n;
}
}  // namespace

TEST_F(AreaModelTest, TreesGrowAsTallAsTheirCountsAllow) {
    // Two wood blocks at the foot and one crown row always; each trunk,
    // lower and further crown step adds a row half of the time. Over a
    // top row of five leaves and a tip of three.
    struct Case {
        uint8_t trunk, lower, crown;
    } cases[] = {{0, 0, 0}, {3, 0, 0}, {0, 3, 0}, {0, 0, 3}, {0, 2, 1}, {2, 4, 4}};
    SeedRand(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "trunk " << (int)c.trunk << " lower " << (int)c.lower << " crown "
                                        << (int)c.crown);
        int shortest = 99, tallest = 0, mostouter = 0;
        for (int n = 0; n < 4000; ++n) {
            FlatArea(TREEW, TREEH);
            GrowTree(TREEX, TREEH / 2, c.trunk, c.lower, c.crown);
            const int wood = WoodAbove(TREEX, TREEFOOT);
            shortest = std::min(shortest, wood);
            tallest = std::max(tallest, wood);
            const int top = TREEFOOT - wood, crowntop = top + 1;
            // Crown rows are the topmost wood rows, lower rows under them,
            // bare trunk under those, and never leaves beside the foot.
            const int lowestleafy = std::min(TREEFOOT - 2, crowntop + c.crown + c.lower);
            const int lowestouter = crowntop + c.crown;
            int outerrows = 0;
            for (int y = 0; y < TREEH / 2; ++y) {
                const bool inwood = y > top;
                const uint8_t near[2] = {GetBlock(TREEX - 1, y), GetBlock(TREEX + 1, y)};
                const uint8_t outer[2] = {GetBlock(TREEX - 2, y), GetBlock(TREEX + 2, y)};
                ASSERT_EQ(GetBlock(TREEX, y), inwood ? blocks::wood : y >= top - 1 ? blocks::leaves : blocks::air) << y;
                for (int s = 0; s < 2; ++s) {
                    if (y == top || y == top - 1 || y == crowntop) {
                        ASSERT_EQ(near[s], blocks::leaves) << y;
                    } else if (!inwood || y > lowestleafy) {
                        ASSERT_EQ(near[s], blocks::air) << y;
                    } else {
                        ASSERT_TRUE(near[s] == blocks::air || near[s] == blocks::leaves) << y;
                    }
                    if (y == top) {
                        ASSERT_EQ(outer[s], blocks::leaves) << y;
                    } else if (!inwood || y > lowestouter) {
                        ASSERT_EQ(outer[s], blocks::air) << y;
                    } else {
                        ASSERT_TRUE(outer[s] == blocks::air || outer[s] == blocks::leaves) << y;
                    }
                }
                outerrows += inwood && (outer[0] == blocks::leaves || outer[1] == blocks::leaves);
                for (int x : {0, 1, 7, 8}) ASSERT_EQ(GetBlock(x, y), blocks::air) << x << "," << y;
            }
            mostouter = std::max(mostouter, outerrows);
        }
        EXPECT_EQ(shortest, 3);
        EXPECT_EQ(tallest, 3 + c.trunk + c.lower + c.crown);
        EXPECT_EQ(mostouter, 1 + c.crown);
    }
}

TEST_F(AreaModelTest, ATreesWoodReplacesWhatIsInItsWayItsLeavesNever) {
    // Planks (walked through, so the foot is still over the ground) fill
    // every tile the tree could reach.
    SeedRand(8);
    for (int n = 0; n < 50; ++n) {
        FlatArea(TREEW, TREEH);
        for (int x = TREEX - 2; x <= TREEX + 2; ++x)
            for (int y = 0; y < TREEH / 2; ++y) areatiles[x][y] = blocks::planks;
        GrowTree(TREEX, TREEH / 2, 2, 4, 4);
        const int wood = WoodAbove(TREEX, TREEFOOT);
        EXPECT_GE(wood, 3);
        EXPECT_LE(wood, 13);
        for (int x = TREEX - 2; x <= TREEX + 2; ++x)
            for (int y = 0; y < TREEH / 2; ++y) {
                const bool trunk = x == TREEX && y > TREEFOOT - wood;
                ASSERT_EQ(GetBlock(x, y), trunk ? blocks::wood : blocks::planks) << x << "," << y;
            }
    }
}

TEST_F(AreaModelTest, ATreesFootIsFoundFromRowY) {
    struct Case {
        const char* what;
        int y;
        std::vector<std::pair<int, uint8_t>> column;  // rows of the tree's column changed first
        int foot;
    } cases[] = {
        {"flat ground, from row half", 20, {}, 19},
        {"a bush on the ground gives way", 20, {{19, blocks::bush}}, 19},
        {"a column raised by two", 20, {{19, blocks::grass}, {18, blocks::grass}}, 17},
        {"searching up from deep in the ground", 30, {}, 19},
        {"a pocket under the ground", 25, {{25, blocks::air}, {24, blocks::air}}, 25},
        {"nothing solid under row y", 5, {}, 6},
    };
    SeedRand(3);
    for (const Case& c : cases) {
        FlatArea(TREEW, TREEH);
        for (auto [row, code] : c.column) areatiles[TREEX][row] = code;
        GrowTree(TREEX, c.y, 1, 2, 1);
        EXPECT_EQ(GetBlock(TREEX, c.foot), blocks::wood) << c.what;
        EXPECT_EQ(GetBlock(TREEX, c.foot - 1), blocks::wood) << c.what;
        EXPECT_NE(GetBlock(TREEX, c.foot + 1), blocks::wood) << c.what;
    }
}

TEST_F(AreaModelTest, TreesAtTheEdgesKeepInsideTheArea) {
    struct Case {
        int w, h, x;
    } cases[] = {
        {6, 40, 0},   // crown reaching past the left edge
        {6, 40, 5},   // and past the right
        {9, 8, 4},    // a tree taller than the sky above it
        {6, 8, 5},
    };
    SeedRand(4);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " at " << c.x);
        for (int n = 0; n < 20; ++n) {
            std::memset(areatiles, 0, sizeof areatiles);
            FlatArea(c.w, c.h);
            GrowTree(c.x, c.h / 2, 2, 4, 4);
            EXPECT_EQ(GetBlock(c.x, c.h / 2 - 1), blocks::wood);
            EXPECT_EQ(GetBlock(c.x, c.h / 2 - 2), blocks::wood);
            for (int x = 0; x < AREAMAX; ++x)
                for (int y = 0; y < AREAMAX; ++y) {
                    if (x >= c.w || y >= c.h) {
                        ASSERT_EQ(areatiles[x][y], blocks::air) << x << "," << y;
                    }
                }
        }
    }
}
