// The whole program from start-up through the main loop on the test machine.
#include "platform/platform.h"
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
    headless::SetFrameMs(10);
    headless::At(3, [] { headless::Tap(KEY_X); });
    EXPECT_EQ(RunUntilClosedAt(150), 0);
    EXPECT_EQ(ReadBytes("worlds/Defaultia/overworld").size(), 524296u);
    EXPECT_EQ(ReadBytes("worlds/Defaultia/player").size(), 153u);
    // The frame counter is drawn on every play frame.
    EXPECT_GT(FPS::current, 90);
    EXPECT_LE(FPS::current, 101);
}
