// What saving may never do: leave a world half old and half new, lose a
// failure without telling the player, write outside the worlds folder, hang
// on something that is not a file, or trample a file the player protected.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "areas/areas.h"
#include "areas/areafile.h"
#include "creatures/creatures.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "overworld_testmap.h"
#include "platform/headless/filefaults.h"
#include "base/assets.h"
#include "base/base.h"
#include "shell/shell.h"
#include "testutil.h"

namespace fs = std::filesystem;

namespace {
using Bytes = std::vector<unsigned char>;

void PutBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

// Everything in a folder that a save leaves only while it is under way.
std::vector<std::string> Leftovers(const std::string& folder) {
    std::vector<std::string> left;
    for (const std::string& name : ListDir(folder))
        if (name == "commit" || (name.size() > 4 && name.substr(name.size() - 4) == ".tmp")) left.push_back(name);
    return left;
}

// Frames in a row, up to the last one drawn, that showed a notice: the
// notice colour across the middle of the screen.
class NoticeWatch {
public:
    NoticeWatch() {
        headless::EveryFlip([this] {
            bool shown = false;
            for (int y = 130; y <= 140 && !shown; ++y)
                for (int x = 180; x < 300 && !shown; ++x) shown = headless::Pixel(x, y) == 0x80FF80;
            run = shown ? run + 1 : 0;
            longest = std::max(longest, run);
        });
    }
    ~NoticeWatch() { headless::EveryFlip(nullptr); }
    int longest = 0;  // the longest run of notice frames
private:
    int run = 0;
};

class SaveSafetyTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        LoadAssets();
        font = std::make_unique<SolidFont>();
        MakeDir("worlds");
        filefaults::DieAfter(-1);
        filefaults::RefuseTemporaries(false);
    }
    void TearDown() override {
        filefaults::DieAfter(-1);
        filefaults::RefuseTemporaries(false);
        font.reset();
        GameTest::TearDown();
    }
    // The notice's text as solid blocks, so its colour shows where it stands.
    std::unique_ptr<SolidFont> font;
};

// One state of a world: a tile, the experience it paid, the marker.
struct WorldState {
    uint8_t tile;
    int32_t exp, coins, x;
    void Set() const {
        encountertype[120][120] = tile;
        player::exp = exp;
        gold = coins;
        marker.x = x;
    }
    bool Is(const WorldState& o) const { return tile == o.tile && exp == o.exp && coins == o.coins && x == o.x; }
    static WorldState Now() { return {encountertype[120][120], player::exp, gold, marker.x}; }
};
}  // namespace

TEST_F(SaveSafetyTest, AWorldSaveKilledAtAnyStepLoadsAsTheOldSaveOrTheNewNeverAMix) {
    // Before: the tile wild and no experience. After: the tile won, its
    // experience paid, the marker moved on.
    const WorldState before{encounters::wild, 0, 10, 100}, after{encounters::cleared, 75, 10, 101};
    Paint({"..."}, 119, 120);
    homex = homey = 50;
    marker.y = 100;
    before.Set();
    ASSERT_TRUE(SaveWorld());
    const Bytes oldmap = ReadBytes("worlds/Defaultia/overworld"), oldplayer = ReadBytes("worlds/Defaultia/player");

    // How many disk operations a whole save takes.
    after.Set();
    filefaults::DieAfter(-1);
    ASSERT_TRUE(SaveWorld());
    const int steps = filefaults::Operations();
    const Bytes newmap = ReadBytes("worlds/Defaultia/overworld"), newplayer = ReadBytes("worlds/Defaultia/player");
    ASSERT_NE(oldmap, newmap);
    ASSERT_NE(oldplayer, newplayer);

    int old = 0, renewed = 0;
    for (int n = 0; n <= steps; ++n) {
        SCOPED_TRACE("killed after step " + std::to_string(n) + " of " + std::to_string(steps));
        fs::remove_all("worlds/Defaultia");
        fs::create_directory("worlds/Defaultia");
        PutBytes("worlds/Defaultia/overworld", oldmap);
        PutBytes("worlds/Defaultia/player", oldplayer);
        after.Set();
        filefaults::DieAfter(n);
        SaveWorld();
        // The next run of the program: its memory is not the last one's.
        filefaults::DieAfter(-1);
        WorldState{encounters::claimed, 999, 999, 7}.Set();
        ASSERT_TRUE(LoadWorld());
        const WorldState got = WorldState::Now();
        EXPECT_TRUE(got.Is(before) || got.Is(after)) << (int)got.tile << " " << got.exp << " " << got.x;
        old += got.Is(before);
        renewed += got.Is(after);
        const Bytes map = ReadBytes("worlds/Defaultia/overworld"), player = ReadBytes("worlds/Defaultia/player");
        EXPECT_TRUE((map == oldmap && player == oldplayer) || (map == newmap && player == newplayer));
        EXPECT_EQ(Leftovers("worlds/Defaultia"), std::vector<std::string>{});
    }
    // Killed before the commit, the old save stands; from the commit on, the new.
    EXPECT_GT(old, 0);
    EXPECT_GT(renewed, 0);
    EXPECT_EQ(old + renewed, steps + 1);
    std::printf("world save: %d kill points, %d loaded the old save, %d the new\n", steps + 1, old, renewed);
}

TEST_F(SaveSafetyTest, AWorldSaveHasItsCommitOnTheDiskBeforeAnyFileTakesItsPlace) {
    ASSERT_TRUE(SaveWorld());
    filefaults::ForgetChanges();
    ASSERT_TRUE(SaveWorld());
    const std::vector<std::string>& changes = filefaults::Changes();
    const auto at = [&](const std::string& change) {
        const auto it = std::find(changes.begin(), changes.end(), change);
        EXPECT_NE(it, changes.end()) << change;
        return it - changes.begin();
    };
    const auto firstrename = std::find_if(changes.begin(), changes.end(),
                                          [](const std::string& c) { return c.rfind("rename ", 0) == 0; }) -
                             changes.begin();
    // Both new files whole on the disk, then the record of the commit, then
    // the folder's names: only then does a new file take an old one's place.
    const std::string w = "worlds/Defaultia/";
    EXPECT_LT(at("sync " + w + "overworld.tmp"), at("create " + w + "commit"));
    EXPECT_LT(at("sync " + w + "player.tmp"), at("create " + w + "commit"));
    EXPECT_LT(at("create " + w + "commit"), at("sync " + w + "commit"));
    EXPECT_LT(at("sync " + w + "commit"), at("sync folder worlds/Defaultia"));
    EXPECT_LT(at("sync folder worlds/Defaultia"), firstrename);
    // The record goes once both have taken their places.
    EXPECT_EQ(changes.back(), "remove " + w + "commit");
}

TEST_F(SaveSafetyTest, AnAreaSaveKilledAtAnyStepLeavesTheOldFileOrTheNew) {
    MakeDir("worlds\\Defaultia");
    const std::string path = "worlds/Defaultia/5,5";
    areawidth = 32;
    areaheight = 32;
    areatiles[3][3] = blocks::stone;
    ASSERT_TRUE(SaveArea(5, 5));
    const Bytes oldarea = ReadBytes(path);
    areatiles[4][3] = blocks::stone;
    filefaults::DieAfter(-1);
    ASSERT_TRUE(SaveArea(5, 5));
    const int steps = filefaults::Operations();
    const Bytes newarea = ReadBytes(path);
    ASSERT_NE(oldarea, newarea);
    int old = 0, renewed = 0;
    for (int n = 0; n <= steps; ++n) {
        SCOPED_TRACE(n);
        PutBytes(path, oldarea);
        filefaults::DieAfter(n);
        SaveArea(5, 5);
        filefaults::DieAfter(-1);
        const Bytes got = ReadBytes(path);
        EXPECT_TRUE(got == oldarea || got == newarea);
        old += got == oldarea;
        renewed += got == newarea;
        // Whatever a kill left behind is cleared when the world is next begun.
        ASSERT_TRUE(RecoverSaves("worlds\\Defaultia"));
        EXPECT_EQ(Leftovers("worlds/Defaultia"), std::vector<std::string>{});
    }
    EXPECT_GT(old, 0);
    EXPECT_GT(renewed, 0);
    std::printf("area save: %d kill points, %d left the old file, %d the new\n", steps + 1, old, renewed);
}

TEST_F(SaveSafetyTest, ACommitCutShortIsFinishedAndOneNeverMadeIsDropped) {
    MakeDir("worlds\\Defaultia");
    struct Case {
        const char* record;
        bool recovered;
        std::string player;
        bool swept;  // the stray temporary of an area save is gone
    } cases[] = {
        {"player\nend\n", true, "new player", true},  // committed: the renames are finished
        {"player\n", true, "old player", true},        // the record itself was cut short
        // Not a record the game writes: nothing is renamed, nothing removed,
        // and the world is not loaded until someone looks at it.
        {"../../escaped\nend\n", false, "old player", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        WriteText("worlds/Defaultia/player", "old player");
        WriteText("worlds/Defaultia/player.tmp", "new player");
        WriteText("worlds/Defaultia/3,4.tmp", "half an area");
        WriteText("worlds/Defaultia/commit", c.record);
        EXPECT_EQ(RecoverSaves("worlds\\Defaultia"), c.recovered);
        EXPECT_EQ(ReadText("worlds/Defaultia/player"), c.player);
        EXPECT_EQ(fs::exists("worlds/Defaultia/3,4.tmp"), !c.swept);
        EXPECT_EQ(fs::exists("worlds/Defaultia/commit"), !c.recovered);
        fs::remove("worlds/Defaultia/commit");
    }
}

TEST_F(SaveSafetyTest, ARecoveryThatCannotFinishKeepsWhatItNeedsForTheNextStart) {
    // A world save committed, then cut before its two renames: the record
    // names both files, and both new ones wait under their temporary names.
    auto cut = [] {
        fs::remove_all("worlds/Defaultia");
        MakeDir("worlds\\Defaultia");
        WriteText("worlds/Defaultia/overworld", "old map");
        WriteText("worlds/Defaultia/player", "old player");
        WriteText("worlds/Defaultia/overworld.tmp", "new map");
        WriteText("worlds/Defaultia/player.tmp", "new player");
        WriteText("worlds/Defaultia/commit", "overworld\nplayer\nend\n");
    };
    auto pair = [] { return ReadText("worlds/Defaultia/overworld") + " + " + ReadText("worlds/Defaultia/player"); };
    struct Case {
        const char* what;
        std::function<void()> fault;
        bool first;                  // what the first recovery answers
        std::vector<std::string> kept;  // what it leaves to be finished
    } cases[] = {
        {"finished at once", [] {}, true, {}},
        // The second rename fails once: the map is new, the player still
        // waits under its temporary name for the next start.
        {"a rename failing once", [] { filefaults::FailOnce(2); }, false, {"commit", "player.tmp"}},
        // Nothing can be changed: nothing is lost either, start after start.
        {"the disk failing every time", [] { filefaults::DieAfter(0); }, false,
         {"commit", "overworld.tmp", "player.tmp"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cut();
        c.fault();
        EXPECT_EQ(RecoverSaves("worlds\\Defaultia"), c.first);
        std::vector<std::string> left = Leftovers("worlds\\Defaultia");
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, c.kept);
        if (c.kept.size() == 3) {
            EXPECT_FALSE(RecoverSaves("worlds\\Defaultia"));
            EXPECT_EQ(pair(), "old map + old player");
        }
        // The next start, on a disk that works, finishes the save.
        filefaults::DieAfter(-1);
        filefaults::FailOnce(0);
        EXPECT_TRUE(RecoverSaves("worlds\\Defaultia"));
        EXPECT_EQ(pair(), "new map + new player");
        EXPECT_TRUE(Leftovers("worlds\\Defaultia").empty());
    }
}

TEST_F(SaveSafetyTest, AFailedSaveIsShownForTwoSecondsAndLeavesTheOldFiles) {
    struct Case {
        const char* what;
        std::function<void()> spoil;  // what the player's disk holds
        std::function<bool()> save;
        std::vector<std::string> kept;  // files that must stay as they were
    } cases[] = {
        {"world folder is a file",
         [] {
             fs::remove_all("worlds/Defaultia");
             WriteText("worlds/Defaultia", "a file");
         },
         [] { return SaveWorld(); },
         {"worlds/Defaultia"}},
        {"read-only player file", [] { chmod("worlds/Defaultia/player", 0444); }, [] { return SaveWorld(); },
         {"worlds/Defaultia/overworld", "worlds/Defaultia/player"}},
        {"read-only area file", [] { chmod("worlds/Defaultia/5,5", 0444); }, [] { return SaveArea(5, 5); },
         {"worlds/Defaultia/5,5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        headless::Reset();
        fs::remove_all("worlds/Defaultia");
        MakeDir("worlds\\Defaultia");
        WriteText("worlds/Defaultia/overworld", "old map");
        WriteText("worlds/Defaultia/player", "old player");
        WriteText("worlds/Defaultia/5,5", "old area");
        WriteText("settings.ini", "old settings");
        c.spoil();
        std::vector<Bytes> before;
        for (const std::string& f : c.kept) before.push_back(ReadBytes(f));
        marker.x = 101;
        areawidth = areaheight = 32;
        bool saved = true;
        {
            NoticeWatch watch;
            saved = c.save();
            EXPECT_GE(watch.longest, 120);
        }
        EXPECT_FALSE(saved);
        for (size_t i = 0; i < c.kept.size(); ++i) EXPECT_EQ(ReadBytes(c.kept[i]), before[i]) << c.kept[i];
        EXPECT_EQ(Leftovers("worlds/Defaultia"), std::vector<std::string>{});
        chmod("worlds/Defaultia/player", 0644);
        chmod("worlds/Defaultia/5,5", 0644);
        chmod("settings.ini", 0644);
    }
    // A save that works shows its notice for one frame only.
    fs::remove_all("worlds/Defaultia");
    NoticeWatch watch;
    EXPECT_TRUE(SaveWorld());
    EXPECT_EQ(watch.longest, 1);
}

TEST_F(SaveSafetyTest, ReadOnlySettingsAreToldOnceTheWindowIsOpen) {
    WriteText("settings.ini", "UPSCALING=1\r\nFULLSCREEN=0\r\nWORLDNAME=Kept\r\nVSYNC=1\r\n");
    chmod("settings.ini", 0444);
    const Bytes before = ReadBytes("settings.ini");
    int noticeframes = 0;
    {
        NoticeWatch watch;
        headless::At(150, [] { headless::Tap(KEY_ESCAPE); });
        headless::SetFlipLimit(400);
        EXPECT_THROW(RunGame(), headless::ProgramEnded);
        noticeframes = watch.longest;
    }
    EXPECT_GE(noticeframes, 120);
    EXPECT_EQ(ReadBytes("settings.ini"), before);
    chmod("settings.ini", 0644);
}

TEST_F(SaveSafetyTest, BeginRefusesAWorldThatCouldNeverBeSaved) {
    struct Case {
        const char* what;
        std::function<void()> spoil, mend;
    } cases[] = {
        {"a file in the world folder's place", [] { WriteText("worlds/Defaultia", "x"); },
         [] { fs::remove("worlds/Defaultia"); }},
        {"a folder no file can be made in", [] { filefaults::RefuseTemporaries(true); },
         [] { filefaults::RefuseTemporaries(false); }},
#ifdef _WIN32
        {"a name Windows keeps for a device", [] { WriteText("settings.ini", "UPSCALING=2\r\nFULLSCREEN=0\r\nWORLDNAME=Con\r\nVSYNC=1\r\n"); },
         [] { fs::remove("settings.ini"); }},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        headless::Reset();
        quit = 0;
        c.spoil();
        int noticeframes = 0;
        {
            NoticeWatch watch;
            headless::At(3, [] { headless::Tap(KEY_X); });  // Begin
            headless::At(200, [] { headless::Tap(KEY_ESCAPE); });
            headless::SetFlipLimit(400);
            testing::internal::CaptureStderr();
            EXPECT_THROW(RunGame(), headless::ProgramEnded);
            const std::string err = testing::internal::GetCapturedStderr();
            EXPECT_NE(err.find("World cannot be saved"), std::string::npos) << err;
            noticeframes = watch.longest;
        }
        // Told, and still on the title: Escape there ended the program with
        // no world made.
        EXPECT_GE(noticeframes, 120);
        EXPECT_FALSE(fs::exists("worlds/Defaultia/overworld"));
        c.mend();
    }
}

TEST_F(SaveSafetyTest, AWorldFolderWithAnUnsafeNameIsListedButCannotBeChosen) {
#ifdef _WIN32
    GTEST_SKIP() << "\"\\\" separates folders on Windows: no folder can have it in its name";
#endif
    // Legal as one folder's name here, but the game's paths read "\" as a
    // separator: chosen, it would lead two folders up.
    fs::create_directory("worlds/..\\..\\escaped");
    fs::create_directory("worlds/Good");
    headless::At(3, [] { headless::Tap(KEY_RIGHT); });
    headless::At(5, [] { headless::Tap(KEY_X); });  // Change World
    // The list, read in the folder's own order: walk down over both entries,
    // choosing each; the unsafe one refuses, the good one is taken.
    for (int i = 0; i < 2; ++i) {
        headless::At(10 + 6 * i, [] { headless::Tap(KEY_DOWN); });
        headless::At(13 + 6 * i, [] { headless::Tap(KEY_X); });
    }
    headless::At(30, [] { headless::Tap(KEY_ESCAPE); });  // back to the title
    headless::At(40, [] { headless::Tap(KEY_ESCAPE); });  // and out
    headless::SetFlipLimit(200);
    EXPECT_THROW(RunGame(), headless::ProgramEnded);
    EXPECT_EQ(WORLDNAME, "Good");
    int nopes = 0;
    for (const std::string& s : headless::SoundsPlayed()) nopes += s == "sfx\\nope.wav";
    EXPECT_EQ(nopes, 1);
    // And whatever a name says, nothing reaches outside the worlds folder.
    headless::Reset();
    for (const char* name : {"..\\..\\escaped", "..", "a/b", "tab\there"}) {
        WORLDNAME = name;
        EXPECT_FALSE(SaveWorld()) << name;
        EXPECT_FALSE(LoadWorld()) << name;
    }
    EXPECT_FALSE(fs::exists("../escaped"));
    EXPECT_FALSE(fs::exists("overworld"));
}

TEST_F(SaveSafetyTest, AWorldIsNeverWrittenAsADevice) {
#ifndef _WIN32
    GTEST_SKIP() << "every name can be a file's on this system";
#else
    // Any letter case, with an ending or without: the device all the same.
    for (const char* name : {"CON", "nul", "Aux", "prn", "COM1", "com9", "LPT1", "lpt9", "NUL.txt", "trailing."}) {
        SCOPED_TRACE(name);
        WORLDNAME = name;
        EXPECT_FALSE(CanSaveIn(WorldFolder()));
        EXPECT_FALSE(SaveWorld());
        EXPECT_FALSE(SaveArea(5, 5));
    }
    // What the game made stays in its folders: no world, no area.
    EXPECT_EQ(ListDir("worlds").size(), 0u);
    // Names that merely begin as a device's are a world's like any other.
    for (const char* name : {"Console", "COM10", "Nully"}) {
        WORLDNAME = name;
        EXPECT_TRUE(CanSaveIn(WorldFolder())) << name;
        EXPECT_TRUE(SaveWorld()) << name;
    }
#endif
}

TEST_F(SaveSafetyTest, WhatIsNotAFileIsRefusedAtOnceAndCountsAsDamage) {
#ifdef _WIN32
    GTEST_SKIP() << "a folder holds no pipe on Windows";
#else
    MakeDir("worlds\\Defaultia");
    ASSERT_TRUE(SaveWorld());
    struct Case {
        const char* file;
        bool loads;
    } cases[] = {{"overworld", false}, {"player", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = std::string("worlds/Defaultia/") + c.file;
        const Bytes kept = ReadBytes(path);
        fs::remove(path);
        ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
        // Opening a pipe for reading would wait for a writer for ever.
        EXPECT_EQ(LoadWorld(), c.loads);
        fs::remove(path);
        PutBytes(path, kept);
    }
    // A pipe for settings is not read, and not replaced.
    ASSERT_EQ(mkfifo("settings.ini", 0644), 0);
    WORLDNAME = "Other";
    LoadSettings();
    EXPECT_EQ(WORLDNAME, "Other");  // nothing read
    EXPECT_FALSE(SaveSettings());
    EXPECT_TRUE(fs::is_fifo("settings.ini"));
    // A pipe in an area file's place is kept aside, and the area made anew.
    WORLDNAME = "Defaultia";
    ASSERT_EQ(mkfifo("worlds/Defaultia/7,7", 0644), 0);
    encountertype[7][7] = encounters::claimed;
    LoadArea(7, 7, 128, 64);
    EXPECT_EQ(areawidth, 128);
    EXPECT_TRUE(fs::is_fifo("worlds/Defaultia/7,7.bad"));
    EXPECT_TRUE(fs::is_regular_file("worlds/Defaultia/7,7"));
#endif
}

TEST_F(SaveSafetyTest, ALinkIsSavedThrough) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows saves a file where its name is: links are not followed there";
#else
    fs::create_directory("elsewhere");
    WriteText("elsewhere/settings.ini", "old");
    fs::create_symlink("elsewhere/settings.ini", "settings.ini");
    WORLDNAME = "Linked";
    ASSERT_TRUE(SaveSettings());
    EXPECT_TRUE(fs::is_symlink("settings.ini"));
    EXPECT_NE(ReadText("elsewhere/settings.ini").find("WORLDNAME=Linked\r\n"), std::string::npos);
    EXPECT_TRUE(ListDir("elsewhere").size() == 1);  // no temporary left there

    // The world's player file linked from another folder: the pair is still
    // saved as one, through the link.
    MakeDir("worlds\\Linked");
    WriteText("elsewhere/player", "old");
    fs::create_symlink("../../elsewhere/player", "worlds/Linked/player");
    gold = 4321;
    ASSERT_TRUE(SaveWorld());
    EXPECT_TRUE(fs::is_symlink("worlds/Linked/player"));
    const Bytes player = ReadBytes("elsewhere/player");
    ASSERT_EQ(player.size(), 153u);
    EXPECT_EQ(player[13] | player[14] << 8, 4321);
#endif
}

TEST_F(SaveSafetyTest, OnlyALoneFileIsWrittenWhereNoTemporaryCanBeMade) {
    WORLDNAME = "Kept";
    ASSERT_TRUE(SaveSettings());
    MakeDir("worlds\\Kept");
    gold = 4321;
    ASSERT_TRUE(SaveWorld());
    const Bytes map = ReadBytes("worlds/Kept/overworld"), player = ReadBytes("worlds/Kept/player");
    // No temporary can be made, but the files may be written. One file on
    // its own is written over in place...
    filefaults::RefuseTemporaries(true);
    WORLDNAME = "InPlace";
    ASSERT_TRUE(SaveSettings());
    EXPECT_NE(ReadText("settings.ini").find("WORLDNAME=InPlace\r\n"), std::string::npos);
    // ...but a world's pair never is: with no commit, a crash between the two
    // would leave a mix. The save fails and both old files stay as they were.
    WORLDNAME = "Kept";
    gold = 99;
    EXPECT_FALSE(SaveWorld());
    EXPECT_EQ(ReadBytes("worlds/Kept/player"), player);
    EXPECT_EQ(ReadBytes("worlds/Kept/overworld"), map);
    EXPECT_FALSE(CanSaveIn("worlds\\Kept"));
    // A file that does not exist yet cannot be made that way either.
    WORLDNAME = "New";
    MakeDir("worlds\\New");
    EXPECT_FALSE(SaveWorld());
}
