// World and area generation pinned to the byte. The reference beside this
// file tells the steps of generation again from their rules alone; both are
// run from the same seed and must make the same bytes. Any reordering of
// the steps or of the draws (two smoothing passes swapped, a grove drawn in
// another order, one draw more or less) changes the map, which the checks
// of what every world must hold would not notice.
//
// The digests are FNV-1a 64 over the bytes the game's own files would hold:
// - a world: the map file's layout, that is for each row y from 0 to 511
//   and within it each x from 0 to 511 the terrain byte then the encounter
//   byte of tile (x, y), then home x and home y as 32-bit little-endian;
// - an area: its file's layout, that is width and height as 32-bit
//   little-endian, one byte per block with rows from the top and each row
//   from the left, the number of people as 32-bit, then for each person in
//   order its pixel x and y (32-bit), kind (8-bit) and line (16-bit).
// The constants were computed by the reference and agreed with the game's
// own making of the same seeds when they were written down; they keep the
// reference itself from drifting along with the game.
#include <random>
#include <string>
#include <vector>

#include "areas/areas.h"
#include "areas/npc.h"
#include "engine/dice.h"
#include "generation_reference.h"
#include "overworld/overworld.h"
#include "base/base.h"
#include "testutil.h"

namespace {
class GenerationReferenceTest : public GameTest {};

// Where two byte strings first part, or "" when they are the same.
std::string FirstDifference(const std::vector<uint8_t>& want, const std::vector<uint8_t>& got) {
    if (want.size() != got.size())
        return "size " + std::to_string(want.size()) + " wanted, " + std::to_string(got.size()) + " made";
    for (size_t i = 0; i < want.size(); ++i)
        if (want[i] != got[i])
            return "byte " + std::to_string(i) + ": " + std::to_string(want[i]) + " wanted, " +
                   std::to_string(got[i]) + " made";
    return "";
}

// The game's map in the layout of reference::World::FileBytes.
std::vector<uint8_t> GameWorldBytes() {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < WORLDH; ++y)
        for (int32_t x = 0; x < WORLDW; ++x) {
            out.push_back(terrain[x][y]);
            out.push_back(encountertype[x][y]);
        }
    reference::PutLE(out, (uint32_t)homex, 4);
    reference::PutLE(out, (uint32_t)homey, 4);
    return out;
}

// The resident area in the layout of reference::Area::FileBytes.
std::vector<uint8_t> GameAreaBytes() {
    std::vector<uint8_t> out;
    reference::PutLE(out, (uint32_t)areawidth, 4);
    reference::PutLE(out, (uint32_t)areaheight, 4);
    for (int32_t y = 0; y < areaheight; ++y)
        for (int32_t x = 0; x < areawidth; ++x) out.push_back(areatiles[x][y]);
    reference::PutLE(out, (uint32_t)npcs.Count(), 4);
    npcs.ForEach([&out](NPC* n) {
        reference::PutLE(out, (uint32_t)n->x, 4);
        reference::PutLE(out, (uint32_t)n->y, 4);
        out.push_back(n->kind);
        reference::PutLE(out, n->dialogue, 2);
    });
    return out;
}
}  // namespace

// The reference's own random step is the minimal-standard one, as the
// standard library knows it.
TEST(GenerationReference, ItsRandomStepIsTheMinimalStandardOne) {
    for (int32_t seed : {1, 4660, 2147483646}) {
        reference::Sequence r(seed);
        std::minstd_rand known((uint32_t)seed);
        for (int i = 0; i < 10000; ++i) ASSERT_EQ((uint32_t)r.Step(), known()) << seed << " step " << i;
    }
}

TEST_F(GenerationReferenceTest, NewWorldsAndTheirHomeAreasAreMadeToTheByte) {
    const struct {
        int32_t seed;
        uint64_t world, home;
    } cases[] = {
        {77, 0xf6ff415c452af63bull, 0xdcfc6d36d1e939feull},
        {1234567, 0xb6324e70d88d5f5cull, 0xcb644570bdc8b6a3ull},
    };
    MakeDir("worlds");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seed);
        reference::Sequence r(c.seed);
        const auto world = reference::MakeWorld(r);
        // The home area is the next thing made from the sequence.
        const reference::Area home = reference::MakeArea(r, reference::HOME, reference::HOMETYPE, 32, 32);

        SeedRand(c.seed);
        // The new world opens in its home area; with the window closed that
        // stay ends after its first frame.
        quit = 1;
        GenerateWorld();
        SaveWorld();
        BeginAtHome();
        EXPECT_EQ(FirstDifference(world->FileBytes(), GameWorldBytes()), "");
        // Gone from memory once the player has left it, but saved as made.
        const std::string homefile =
            "worlds/" + WORLDNAME + "/" + std::to_string(homex) + "," + std::to_string(homey);
        EXPECT_EQ(FirstDifference(home.FileBytes(), ReadBytes(homefile)), "");

        EXPECT_EQ(reference::Fnv1a64(world->FileBytes()), c.world);
        EXPECT_EQ(reference::Fnv1a64(home.FileBytes()), c.home);
    }
}

TEST_F(GenerationReferenceTest, AreasAreMadeToTheByte) {
    using namespace reference;
    // Every kind of ground at the sizes the game asks for, and villages on
    // each ground that has one. Made one after another in the same grids,
    // so each also starts from what the one before left.
    const struct {
        const char* what;
        uint8_t terrain, encounter;
        int32_t width, height, seed;
        uint64_t digest;
    } cases[] = {
        {"claimed forest", FOREST, CLAIMED, 256, 256, 11, 0xe3fd29d31a4039b7ull},
        {"wild plains", PLAINS, WILD, 128, 24, 22, 0xbca0074b3ed1078full},
        {"wild forest", FOREST, WILD, 128, 24, 33, 0x628b8d73921eeba8ull},
        {"wild desert", DESERT, WILD, 128, 24, 44, 0x56129075ef2588dcull},
        {"revisited mountain", MOUNTAIN, CLEARED, 128, 64, 55, 0xdfcb999d0b64b4d5ull},
        {"home", HOME, HOMETYPE, 32, 32, 66, 0x5062176349dc0fc4ull},
        {"plains village", PLAINS, VILLAGE, 128, 64, 77, 0x8fd9242ba95fd095ull},
        {"forest village", FOREST, VILLAGE, 128, 64, 88, 0x8c392964a9638954ull},
        {"desert village", DESERT, VILLAGE, 128, 64, 99, 0x77ff8248e6f44355ull},
        {"claimed desert", DESERT, CLAIMED, 256, 256, 111, 0x80be8734f0b9570cull},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Sequence r(c.seed);
        const Area want = MakeArea(r, c.terrain, c.encounter, c.width, c.height);

        npcs.Clear();  // the encounter loop empties it between areas
        terrain[300][77] = c.terrain;
        encountertype[300][77] = c.encounter;
        SeedRand(c.seed);
        ASSERT_TRUE(GenerateArea(300, 77, c.width, c.height));
        EXPECT_EQ(FirstDifference(want.FileBytes(), GameAreaBytes()), "");
        // Both took the same number of draws.
        EXPECT_EQ(Rand(0, 1 << 30), r.Rand(0, 1 << 30));

        EXPECT_EQ(Fnv1a64(want.FileBytes()), c.digest);
    }
}
