// The world's two files byte for byte, a save and load that restores
// everything, and worlds whose files are missing or damaged.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "creatures/creatures.h"
#include "engine/dice.h"
#include "overworld/overworld.h"
#include "base/base.h"
#include "testutil.h"

namespace fs = std::filesystem;

namespace {
class WorldFileTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        MakeDir("worlds");
        WORLDNAME = "Tessa";
    }
};

const std::string MAP = "worlds/Tessa/overworld", PLAYER = "worlds/Tessa/player";

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

std::vector<unsigned char> Le(int32_t v, int n) {
    std::vector<unsigned char> b;
    for (int i = 0; i < n; ++i) b.push_back((unsigned char)((uint32_t)v >> (8 * i)));
    return b;
}

// Everything a world file holds, for comparing what was saved with what came back.
struct World {
    std::vector<uint8_t> t, e;
    int32_t hx, hy, gold, exp, mx, my;
    uint8_t maxHP, maxAP, AP, APgain, alchemy, level, f, moving;
    std::vector<uint16_t> items, amounts;
    bool operator==(const World&) const = default;
};
World Now() {
    World w;
    w.t.assign(&terrain[0][0], &terrain[0][0] + sizeof terrain);
    w.e.assign(&encountertype[0][0], &encountertype[0][0] + sizeof encountertype);
    w.hx = homex, w.hy = homey, w.gold = gold, w.exp = player::exp, w.mx = marker.x, w.my = marker.y;
    w.maxHP = maxHP, w.maxAP = maxAP, w.AP = AP, w.APgain = APgain, w.alchemy = alchemy, w.level = level;
    w.f = marker.f, w.moving = marker.moving;
    w.items.assign(&invitem[0][0], &invitem[0][0] + INVCOLS * INVROWS);
    w.amounts.assign(&invamt[0][0], &invamt[0][0] + INVCOLS * INVROWS);
    return w;
}

// A world where every field holds something of its own.
void Scramble(int32_t seed) {
    SeedRand(seed);
    for (auto& column : terrain)
        for (auto& t : column) t = (uint8_t)Rand(0, 255);
    for (auto& column : encountertype)
        for (auto& t : column) t = (uint8_t)Rand(0, 4);
    homex = Rand(0, 511), homey = Rand(0, 511);
    maxHP = (uint8_t)Rand(0, 255), maxAP = (uint8_t)Rand(0, 255), AP = (uint8_t)Rand(0, 255);
    APgain = (uint8_t)Rand(0, 255), alchemy = (uint8_t)Rand(0, 255), level = (uint8_t)Rand(0, 255);
    gold = Rand(-2000000000, 2000000000), player::exp = Rand(-2000000000, 2000000000);
    marker.x = Rand(0, 511), marker.y = Rand(0, 511);
    marker.f = (uint8_t)Rand(0, 3), marker.moving = (uint8_t)Rand(0, 8);
    for (int c = 0; c < INVCOLS; ++c)
        for (int r = 0; r < INVROWS; ++r) {
            invitem[c][r] = (uint16_t)Rand(0, 65535);
            invamt[c][r] = (uint16_t)Rand(0, 65535);
        }
}

// The names and bytes of everything in the world's folder.
std::map<std::string, std::vector<unsigned char>> Folder() {
    std::map<std::string, std::vector<unsigned char>> files;
    for (const auto& entry : fs::directory_iterator("worlds/Tessa"))
        files[entry.path().filename().string()] = entry.is_directory() ? std::vector<unsigned char>{'/'} : ReadBytes(entry.path().string());
    return files;
}
}  // namespace

TEST_F(WorldFileTest, TheMapFileHoldsTileRecordsRowByRowThenHome) {
    terrain[1][0] = terrains::forest;
    encountertype[1][0] = encounters::village;
    terrain[0][1] = terrains::water;
    encountertype[0][1] = encounters::cleared;
    terrain[511][511] = terrains::home;
    encountertype[511][511] = encounters::home;
    homex = 258;
    homey = -2;
    ASSERT_TRUE(SaveWorld());
    const auto b = ReadBytes(MAP);
    ASSERT_EQ(b.size(), 524296u);
    EXPECT_EQ(b[2], 3);
    EXPECT_EQ(b[3], 4);
    EXPECT_EQ(b[1024], 2);
    EXPECT_EQ(b[1025], 1);
    EXPECT_EQ(b[524286], 6);
    EXPECT_EQ(b[524287], 3);
    EXPECT_EQ(std::vector<unsigned char>(b.begin() + 524288, b.end()),
              (std::vector<unsigned char>{0x02, 0x01, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}));
    size_t nonzero = 0;
    for (size_t i = 0; i < 524288; ++i) nonzero += b[i] != 0;
    EXPECT_EQ(nonzero, 6u);
}

TEST_F(WorldFileTest, ThePlayerFileHoldsItsFieldsAtTheirOffsets) {
    maxHP = 10, maxAP = 7, AP = 200, APgain = 3, gold = 1000, alchemy = 9, level = 250, player::exp = -2;
    marker.x = 300, marker.y = 511, marker.f = 3, marker.moving = 5;
    invitem[0][0] = 0x0102, invamt[0][0] = 0x0304;
    invitem[2][1] = 258, invamt[2][1] = 1;
    invitem[4][5] = 0xFFFF, invamt[4][5] = 0x8000;
    ASSERT_TRUE(SaveWorld());
    std::vector<unsigned char> want;
    auto put = [&](int32_t v, int n) {
        auto b = Le(v, n);
        want.insert(want.end(), b.begin(), b.end());
    };
    put(10, 4), put(7, 4), put(200, 4), put(3, 1), put(1000, 4), put(9, 1), put(250, 1), put(-2, 4);
    put(300, 4), put(511, 4), put(3, 1), put(5, 1);
    want.resize(153, 0);
    auto cell = [&](int c, int r, int item, int amount) {
        const size_t at = 33 + 4 * (5 * r + c);
        want[at] = (unsigned char)item, want[at + 1] = (unsigned char)(item >> 8);
        want[at + 2] = (unsigned char)amount, want[at + 3] = (unsigned char)(amount >> 8);
    };
    cell(0, 0, 0x0102, 0x0304);
    cell(2, 1, 258, 1);  // offset 61
    cell(4, 5, 0xFFFF, 0x8000);  // the last pair, offset 149
    EXPECT_EQ(ReadBytes(PLAYER), want);
    EXPECT_EQ(want[0], 0x0A);
    EXPECT_EQ(want[13], 0xE8);
    EXPECT_EQ(want[14], 0x03);
}

TEST_F(WorldFileTest, ASavedWorldLoadsBackWhole) {
    Scramble(5);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(SaveWorld());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "saving world: Tessa\nworld saved: Tessa\n");
    const World saved = Now();
    Scramble(6);
    ASSERT_FALSE(Now() == saved);
    const int flips = headless::Flips();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(LoadWorld());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(headless::Flips(), flips + 1);  // the loading notice
    EXPECT_TRUE(Now() == saved);
    EXPECT_EQ(fs::exists("worlds/Tessa/overworld.tmp") || fs::exists("worlds/Tessa/player.tmp"), false);
}

TEST_F(WorldFileTest, TheFirstThreeWordsOfThePlayerAreTakenAsBytes) {
    ASSERT_TRUE(SaveWorld());
    auto b = ReadBytes(PLAYER);
    b[0] = 0x0B, b[1] = 0x01;                 // 267
    b[4] = 0xFF, b[5] = 0xFF, b[6] = 0xFF, b[7] = 0xFF;  // -1
    b[8] = 0x00, b[9] = 0x00, b[10] = 0x00, b[11] = 0x80;
    WriteFile(PLAYER, b);
    ASSERT_TRUE(LoadWorld());
    EXPECT_EQ(maxHP, 11);
    EXPECT_EQ(maxAP, 255);
    EXPECT_EQ(AP, 0);
}

TEST_F(WorldFileTest, ADamagedWorldIsNeitherLoadedNorWrittenTo) {
    struct Case {
        const char* what;
        long mapsize, playersize;  // -1 a folder of that name, -2 as saved
        int32_t hx, mx, my;
    } cases[] = {
        {"empty map", 0, -2, 5, 5, 5},
        {"map one byte short", 524295, -2, 5, 5, 5},
        {"map one byte long", 524297, -2, 5, 5, 5},
        {"map twice over", 1048592, -2, 5, 5, 5},
        {"empty player", -2, 0, 5, 5, 5},
        {"player one byte short", -2, 152, 5, 5, 5},
        {"player one byte long", -2, 154, 5, 5, 5},
        {"map a folder", -1, -2, 5, 5, 5},
        {"player a folder", -2, -1, 5, 5, 5},
        {"home off the map", -2, -2, 512, 5, 5},
        {"marker off the map", -2, -2, 5, -1, 5},
        {"marker far off the map", -2, -2, 5, 5, 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all("worlds/Tessa");
        Scramble(11);
        homex = c.hx, marker.x = c.mx, marker.y = c.my;
        ASSERT_TRUE(SaveWorld());
        for (auto [path, size] : {std::pair{MAP, c.mapsize}, std::pair{PLAYER, c.playersize}}) {
            if (size == -1) {
                fs::remove(path);
                fs::create_directory(path);
                WriteText(path + "/keep", "x");
            } else if (size >= 0) {
                auto b = ReadBytes(path);
                b.resize((size_t)size, 0x11);
                WriteFile(path, b);
            }
        }
        WriteText("worlds/Tessa/3,4", "an area");
        Scramble(12);
        const World before = Now();
        const auto files = Folder();
        EXPECT_FALSE(LoadWorld());
        EXPECT_TRUE(Now() == before);
        EXPECT_EQ(Folder(), files);
    }
}

TEST_F(WorldFileTest, WithoutAPlayerFileTheMapLoadsAndANewPlayerStartsAtHome) {
    Scramble(21);
    ASSERT_TRUE(SaveWorld());
    const World saved = Now();
    fs::remove(PLAYER);
    Scramble(22);
    ASSERT_TRUE(LoadWorld());
    const World now = Now();
    EXPECT_EQ(now.t, saved.t);
    EXPECT_EQ(now.e, saved.e);
    EXPECT_EQ(homex, saved.hx);
    EXPECT_EQ(homey, saved.hy);
    EXPECT_EQ(marker.x, homex);
    EXPECT_EQ(marker.y, homey);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(maxHP, 3);
    EXPECT_EQ(player::exp, 0);
    EXPECT_EQ(gold, 0);
    for (uint16_t item : now.items) EXPECT_EQ(item, 0);
    EXPECT_FALSE(fs::exists(PLAYER));  // loading writes nothing
}

TEST_F(WorldFileTest, WithoutAMapFileANewWorldIsMadeAndSaved) {
    Scramble(31);
    ASSERT_TRUE(SaveWorld());
    fs::remove(MAP);
    WriteText("worlds/Tessa/3,4", "an area");
    // The new world opens in its home area; with the window closed that stay
    // ends after its first frame.
    quit = 1;
    ASSERT_TRUE(LoadWorld());
    EXPECT_EQ(terrain[homex][homey], terrains::home);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(ReadBytes(MAP).size(), 524296u);
    EXPECT_EQ(ReadBytes(PLAYER)[18], 1);  // the new player's level replaced the old
    EXPECT_EQ(ReadText("worlds/Tessa/3,4"), "an area");
}

TEST_F(WorldFileTest, ASaveThatCannotReachTheDiskLeavesTheOldFileAndSaysSo) {
    Scramble(41);
    ASSERT_TRUE(SaveWorld());
    const auto oldmap = ReadBytes(MAP), oldplayer = ReadBytes(PLAYER);
    Scramble(42);
    fs::create_directory("worlds/Tessa/overworld.tmp");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SaveWorld());
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "saving world: Tessa\n");  // never "world saved"
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("overworld"), std::string::npos) << err;
    EXPECT_EQ(ReadBytes(MAP), oldmap);
    // The player's file is not saved without its map: the old pair stays together.
    EXPECT_EQ(ReadBytes(PLAYER), oldplayer);
    EXPECT_EQ(ListDir("worlds\\Tessa").size(), 3u);  // the two files and the folder in the way
}
