// Starts the real program in a real window, as a player would, presses its
// keys and closes it with the window's close button. Skipped when no display
// server is at hand.
#include <gtest/gtest.h>
// After the test framework: X11 defines macros (None) that clash with it.
#include <X11/Xlib.h>

#include <cstdlib>

#include "tests/smoke/game_process.h"

using namespace smoke;

namespace {
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

// At most one line on standard error, and that one ours: without a sound
// device the sound system's own complaints stay out of it.
void ExpectQuietStart(const fs::path& dir) {
    const std::vector<std::string> lines = Lines(dir / "stderr.txt");
    for (const std::string& line : lines) EXPECT_EQ(line.rfind("no sound: ", 0), 0u) << line;
    EXPECT_LE(lines.size(), 1u);
}

class WindowSmoke : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display server";
        // A virtual display busy accepting other programs may turn a
        // connection away for a moment.
        WaitFor([&] { return (d = XOpenDisplay(nullptr)) != nullptr; }, 5);
        ASSERT_NE(d, nullptr) << "the display server named by DISPLAY does not answer";
        XSetErrorHandler(IgnoreErrors);
    }
    void TearDown() override {
        if (d) XCloseDisplay(d);
    }
    Display* d = nullptr;
};
}  // namespace

TEST_F(WindowSmoke, OpensOneWindowAtTwiceTheScaleWithItsIconAndClosesFromTheCloseButton) {
    Game game(d, "");
    const Window w = game.WaitForWindow();
    ASSERT_NE(w, 0u) << "no window named Quillmoor was shown";
    // Made once: no other window was shown, nor shown and thrown away.
    EXPECT_EQ(game.shown, 1);
    EXPECT_EQ(game.destroyed, 0);
    XWindowAttributes attr;
    ASSERT_TRUE(XGetWindowAttributes(d, w, &attr));
    EXPECT_EQ(attr.width, 960);
    EXPECT_EQ(attr.height, 540);
    std::vector<long> icon;
    CardinalProperty(d, w, "_NET_WM_ICON", &icon);
    ASSERT_GE(icon.size(), 2u) << "the window has no icon";
    EXPECT_EQ(icon.size(), 2 + (size_t)icon[0] * icon[1]);
    EXPECT_EQ(Slurp(game.dir / "settings.ini"),
              "UPSCALING=2\r\nFULLSCREEN=0 (requires upscaling x4)\r\nWORLDNAME=Defaultia\r\nVSYNC=1\r\n");
    EXPECT_TRUE(fs::is_directory(game.dir / "worlds"));

    // Closed on the title screen the moment it shows: ends without a save.
    game.Close(w);
    EXPECT_TRUE(game.EndedWithCodeZero()) << "the program did not end after the close request";
    EXPECT_TRUE(fs::is_empty(game.dir / "worlds"));
    ExpectQuietStart(game.dir);
}

TEST_F(WindowSmoke, ANewWorldBegunWithTheKeyboardIsSavedWhenTheWindowIsClosed) {
    Game game(d, "UPSCALING=1\r\nFULLSCREEN=0\r\nWORLDNAME=Smoke\r\nVSYNC=1\r\n");
    const Window w = game.WaitForWindow();
    ASSERT_NE(w, 0u) << "no window named Quillmoor was shown";
    const fs::path world = game.dir / "worlds" / "Smoke";
    ASSERT_TRUE(game.BeginWorld(w, world)) << "Begin made no world";
    // Closed while the world is made or its home area is played, whichever
    // it is by now: the home area and the world are saved, and it ends.
    game.Close(w);
    EXPECT_TRUE(game.EndedWithCodeZero()) << "the program did not end after the close request";
    ExpectWorldWithItsHomeArea(world);
    ExpectQuietStart(game.dir);
}
