// Area files: their layout byte for byte, what loading restores, and what
// becomes of a damaged file.
#include <filesystem>

#include "area_fixture.h"
#include "areas/areafile.h"
#include "areas/npc.h"

namespace {
class AreaFileTest : public AreaTest {
protected:
    void SetUp() override {
        AreaTest::SetUp();
        MakeDir("worlds");
        MakeDir("worlds\\Defaultia");
    }
    // Overworld tile (x, y) of the given terrain and encounter type.
    static void Tile(int x, int y, uint8_t t, uint8_t e) {
        terrain[x][y] = t;
        encountertype[x][y] = e;
        marker.x = x;
        marker.y = y;
    }
    static std::vector<unsigned char> File(int x, int y) {
        return ReadBytes("worlds/Defaultia/" + std::to_string(x) + "," + std::to_string(y));
    }
    static int32_t IntAt(const std::vector<unsigned char>& b, size_t at) {
        return (int32_t)(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24);
    }
    // Leaves the area as an encounter's end leaves it: air, nobody.
    static void Leave() {
        ClearArea();
        npcs.Clear();
    }
};
}  // namespace

TEST_F(AreaFileTest, HomeAndVillageFilesHaveTheirLayout) {
    // A new world's home: 32 x 32, no people.
    Tile(10, 10, terrains::home, encounters::home);
    LoadArea(10, 10, 32, 32);
    auto home = File(10, 10);
    ASSERT_EQ(home.size(), 1036u);
    EXPECT_EQ(IntAt(home, 0), 32);
    EXPECT_EQ(IntAt(home, 4), 32);
    EXPECT_EQ(IntAt(home, 1032), 0);
    Leave();

    // A village: eight houses, each with someone in it.
    Tile(20, 20, terrains::plains, encounters::village);
    LoadArea(20, 20, 128, 64);
    auto village = File(20, 20);
    ASSERT_EQ(village.size(), 8292u);
    EXPECT_EQ(IntAt(village, 8 + 128 * 64), 8);
    // Every block where the layout says; (3, 1) at offset 139.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) ASSERT_EQ(village[8 + 128 * y + x], areatiles[x][y]) << x << "," << y;
    areatiles[3][1] = blocks::brick;
    ASSERT_TRUE(SaveArea(20, 20));
    EXPECT_EQ(File(20, 20)[139], blocks::brick);
    // The people in list order: position, kind and line.
    village = File(20, 20);
    size_t at = 12 + 128 * 64;
    npcs.ForEach([&](NPC* npc) {
        EXPECT_EQ(IntAt(village, at), npc->x);
        EXPECT_EQ(IntAt(village, at + 4), npc->y);
        EXPECT_EQ(village[at + 8], npc->kind);
        EXPECT_EQ(village[at + 9] | village[at + 10] << 8, npc->dialogue);
        at += 11;
    });
}

TEST_F(AreaFileTest, LoadingRestoresBlocksPeopleAndTheStoredSize) {
    Tile(20, 20, terrains::forest, encounters::village);
    LoadArea(20, 20, 128, 64);
    struct Person {
        int32_t x, y;
        uint8_t kind;
        uint16_t dialogue;
    };
    std::vector<Person> people;
    npcs.ForEach([&](NPC* npc) {
        npc->f = 1;
        npc->speaking = 100;
        people.push_back({npc->x, npc->y, npc->kind, npc->dialogue});
    });
    std::vector<uint8_t> blocksbefore(&areatiles[0][0], &areatiles[0][0] + AREAMAX * AREAMAX);
    Leave();
    testing::internal::CaptureStdout();
    LoadArea(20, 20, 256, 256);  // the stored size wins over the one asked for
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(areawidth, 128);
    EXPECT_EQ(areaheight, 64);
    EXPECT_EQ(std::vector<uint8_t>(&areatiles[0][0], &areatiles[0][0] + AREAMAX * AREAMAX), blocksbefore);
    size_t i = 0;
    npcs.ForEach([&](NPC* npc) {
        ASSERT_LT(i, people.size());
        EXPECT_EQ(npc->x, people[i].x);
        EXPECT_EQ(npc->y, people[i].y);
        EXPECT_EQ(npc->kind, people[i].kind);
        EXPECT_EQ(npc->dialogue, people[i].dialogue);
        EXPECT_EQ(npc->f, 0);
        EXPECT_EQ(npc->speaking, 0);
        if (npc->kind == npckinds::shopkeeper) {
            EXPECT_EQ(npc->stock[0], 256);
            EXPECT_EQ(npc->amt[1], 450);
        }
        ++i;
    });
    EXPECT_EQ(i, people.size());
}

TEST_F(AreaFileTest, AKindAboveTwoLoadsAsAVillagerKeepingItsLine) {
    Tile(5, 5, terrains::plains, encounters::claimed);
    // A 2 x 2 area of air with one person of kind 7 saying line 6.
    std::vector<unsigned char> file = {2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
                                       40, 0, 0, 0, 16, 0, 0, 0, 7, 6, 0};
    WriteText("worlds/Defaultia/5,5", std::string(file.begin(), file.end()));
    LoadArea(5, 5, 128, 64);
    ASSERT_EQ(npcs.Count(), 1u);
    NPC* npc = npcs.At(0);
    EXPECT_EQ(npc->kind, npckinds::villager);
    EXPECT_EQ(npc->dialogue, 6);
    EXPECT_EQ(npc->x, 40);
    EXPECT_EQ(npc->y, 16);
    EXPECT_EQ(areawidth, 2);
}

TEST_F(AreaFileTest, APassingVisitIsNeverWritten) {
    Tile(7, 7, terrains::plains, encounters::wild);
    temparea = 1;
    LoadArea(7, 7, 128, 24);
    EXPECT_TRUE(File(7, 7).empty());
    EXPECT_TRUE(SaveArea(7, 7));
    EXPECT_TRUE(ListDir("worlds\\Defaultia").empty());
}

TEST_F(AreaFileTest, ADamagedFileIsKeptAsideAndTheAreaMadeAnew) {
    auto le = [](int32_t v) {
        return std::string{(char)(v & 255), (char)((v >> 8) & 255), (char)((v >> 16) & 255), (char)((v >> 24) & 255)};
    };
    const std::string blocks4(4, '\x03');
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"shorter than its sizes", le(2) + le(2) + "\x01"},
        {"width 0", le(0) + le(2) + le(0)},
        {"width 257", le(257) + le(1) + std::string(257, '\x01') + le(0)},
        {"negative height", le(4) + le(-1) + le(0)},
        {"huge sizes", le(0x7FFFFFFF) + le(0x7FFFFFFF) + le(0)},
        {"negative count", le(2) + le(2) + blocks4 + le(-1)},
        {"count past the end", le(2) + le(2) + blocks4 + le(3) + std::string(11, '\0')},
        {"bytes after the people", le(2) + le(2) + blocks4 + le(0) + "x"},
        {"an absurd crowd", le(1) + le(1) + "\x00" + le(5000) + std::string(11 * 5000, '\0')},
    };
    Tile(9, 9, terrains::plains, encounters::claimed);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteText("worlds/Defaultia/9,9", c.bytes);
        testing::internal::CaptureStderr();
        LoadArea(9, 9, 128, 64);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("damaged"), std::string::npos);
        // The damaged bytes are kept; the area is made anew and stored.
        EXPECT_EQ(ReadText("worlds/Defaultia/9,9.bad"), c.bytes);
        EXPECT_EQ(areawidth, 128);
        EXPECT_EQ(areaheight, 64);
        EXPECT_EQ(File(9, 9).size(), 12u + 128 * 64);
        Leave();
    }
}
