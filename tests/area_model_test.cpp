// The block queries and the making of areas from their overworld tile.
#include "area_fixture.h"
#include "areas/npc.h"

namespace {
class AreaModelTest : public AreaTest {
protected:
    static void Make(uint8_t t, uint8_t enc, int w, int h) {
        terrain[7][9] = t;
        encountertype[7][9] = enc;
        ASSERT_TRUE(GenerateArea(7, 9, w, h, false));
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
        EXPECT_FALSE(GenerateArea(7, 9, w, h, false)) << w << "x" << h;
        EXPECT_EQ(areawidth, 40);
        EXPECT_EQ(areaheight, 30);
        EXPECT_EQ(GetBlock(5, 20), blocks::stone);
    }
    EXPECT_EQ(headless::Flips(), 0);
    EXPECT_TRUE(GenerateArea(7, 9, 256, 256, false));
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
