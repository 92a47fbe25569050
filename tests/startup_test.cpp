// The whole program from start-up through the main loop on the test machine.
#include "overworld/overworld.h"
#include "engine/keys.h"
#include "platform/platform.h"
#include "base/base.h"
#include "shell/shell.h"
#include "testutil.h"

namespace {
class StartupTest : public GameTest {
protected:
    // Runs the program until it ends; the window is closed at the given frame.
    int RunUntilClosedAt(int frame) {
        headless::At(frame, [] { headless::RequestClose(); });
        headless::SetFlipLimit(frame + 100);
        try {
            return RunGame();
        } catch (const headless::ProgramEnded&) {
            return 0;
        }
    }
};
}  // namespace

TEST_F(StartupTest, DefaultStartOpensA960x540WindowAndWritesTheSettings) {
    EXPECT_EQ(RunUntilClosedAt(10), 0);
    const auto& w = headless::GetWindow();
    EXPECT_TRUE(w.open);
    EXPECT_EQ(w.width, 960);
    EXPECT_EQ(w.height, 540);
    EXPECT_EQ(w.depth, 0);
    EXPECT_EQ(w.hertz, 60);
    EXPECT_EQ(w.caption, "Quillmoor");
    EXPECT_EQ(ReadText("settings.ini"),
              "UPSCALING=2\r\nFULLSCREEN=0 (requires upscaling x4)\r\nWORLDNAME=Defaultia\r\nVSYNC=1\r\n");
    // Closed on the title screen: no world was begun, nothing saved.
    EXPECT_EQ(ListDir("worlds").size(), 0u);
    EXPECT_EQ(headless::LastSync(), 1);
}

TEST_F(StartupTest, TheTitleHoldsNoWorldThoughTheWorldsMakerRanAtStart) {
    // The maker is run once at start to have its code ready; on the title
    // the game must hold what a new program holds: no map, no home.
    bool empty = false;
    headless::At(5, [&] {
        empty = homex == 0 && homey == 0;
        for (int x = 0; x < WORLDW; ++x)
            for (int y = 0; y < WORLDH; ++y) empty = empty && terrain[x][y] == 0 && encountertype[x][y] == 0;
    });
    EXPECT_EQ(RunUntilClosedAt(10), 0);
    EXPECT_TRUE(empty);
}

TEST_F(StartupTest, FullScreenOnlyAtScaleFourAndTheWishStaysInTheFile) {
    struct Case {
        std::string file;
        int width, height, depth;
        std::string fullscreenline;
    } cases[] = {
        {"UPSCALING=3\r\nFULLSCREEN=1\r\n", 1440, 810, 0, "FULLSCREEN=1 (requires upscaling x4)"},
        {"UPSCALING=4\r\nFULLSCREEN=1\r\n", 1920, 1080, 32, "FULLSCREEN=1 (requires upscaling x4)"},
        {"UPSCALING=4\r\nFULLSCREEN=5\r\n", 1920, 1080, 0, "FULLSCREEN=5 (requires upscaling x4)"},
        {"UPSCALING=1\r\nFULLSCREEN=0\r\nWORLDNAME=Elsewhere\r\nVSYNC=0\r\n", 480, 270, 0,
         "FULLSCREEN=0 (requires upscaling x4)"},
    };
    for (const Case& c : cases) {
        headless::Reset();
        UPSCALING = 2;
        FULLSCREEN = 0;
        VSYNC = 1;
        WriteText("settings.ini", c.file);
        EXPECT_EQ(RunUntilClosedAt(3), 0);
        const auto& w = headless::GetWindow();
        EXPECT_EQ(w.width, c.width) << c.file;
        EXPECT_EQ(w.height, c.height) << c.file;
        EXPECT_EQ(w.depth, c.depth) << c.file;
        EXPECT_NE(ReadText("settings.ini").find(c.fullscreenline + "\r\n"), std::string::npos) << c.file;
    }
    EXPECT_EQ(headless::LastSync(), 0);
}

TEST_F(StartupTest, AWindowThatCannotOpenEndsWithCodeOne) {
    headless::FailNextWindow();
    EXPECT_EQ(RunUntilClosedAt(5), 1);
    EXPECT_EQ(headless::Flips(), 0);
}

TEST_F(StartupTest, BeginMakesTheSelectedWorldAndTheEndSavesIt) {
    // A new world is saved as soon as it is made, and again on the way back
    // to the title screen, both times with the marker on the home tile. The
    // player then begins once more and walks one tile toward the middle of
    // the map before closing the window: only the save at the end can
    // record that step.
    headless::SetFrameMs(10);
    headless::At(3, [] { headless::Tap(KEY_X); });
    // The title's menu box, dark grey, as a player sees it.
    auto titleshown = [] {
        for (int x : {32, 231})
            for (int y : {208, 269})
                if (headless::Pixel(x, y) != 0x404040u) return false;
        return true;
    };
    enum { MAKING, LEAVING, TITLE, WALKING, DONE } phase = MAKING;
    int since = 0, dx = 0;
    headless::EveryFlip([&] {
        ++since;
        switch (phase) {
        case MAKING:  // the home area of the new world
            if (headless::Flips() < 40) return;
            headless::KeyDown(KEY_ESCAPE);
            phase = LEAVING;
            return;
        case LEAVING:
            if (!titleshown()) return;
            headless::KeyUp(KEY_ESCAPE);
            headless::Tap(KEY_X);
            phase = TITLE;
            return;
        case TITLE:
            if (titleshown()) return;
            dx = homex < WORLDW / 2 ? 1 : -1;
            headless::KeyDown(dx > 0 ? KEY_RIGHT : KEY_LEFT);
            phase = WALKING;
            since = 0;
            return;
        case WALKING:  // held long enough for one step, not for a second
            if (since == 4) headless::KeyUp(dx > 0 ? KEY_RIGHT : KEY_LEFT);
            if (since == 60) {
                headless::RequestClose();
                phase = DONE;
            }
            return;
        case DONE:
            return;
        }
    });
    EXPECT_EQ(RunUntilClosedAt(3000), 0);
    EXPECT_EQ(phase, DONE);
    const std::vector<unsigned char> map = ReadBytes("worlds/Defaultia/overworld");
    const std::vector<unsigned char> player = ReadBytes("worlds/Defaultia/player");
    ASSERT_EQ(map.size(), 524296u);
    ASSERT_EQ(player.size(), 153u);
    auto int32 = [](const std::vector<unsigned char>& b, size_t at) {
        return (int32_t)(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24);
    };
    const int32_t home[2] = {int32(map, 524288), int32(map, 524292)};
    EXPECT_EQ(int32(player, 23), home[0] + dx) << "the marker's x";
    EXPECT_EQ(int32(player, 27), home[1]) << "the marker's y";
    EXPECT_EQ(player[31], dx > 0 ? 1 : 3) << "the marker faces the way it walked";
    // The frame counter is drawn on every play frame.
    EXPECT_GT(FPS::current, 90);
    EXPECT_LE(FPS::current, 101);
}
