// The real program and its display: none there at all, one that comes up
// just after the program starts, and one that goes away under it. Each test
// makes its own virtual display (or names one that does not exist), so none
// needs the display the other tests use.
#include <gtest/gtest.h>
// After the test framework: X11 defines macros (None) that clash with it.
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

#include "tests/smoke/game_process.h"

using namespace smoke;

namespace {
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

const char* const kSettings = "UPSCALING=1\r\nFULLSCREEN=0\r\nWORLDNAME=Gone\r\nVSYNC=1\r\n";

// Every line of standard error is the sound system's "no sound:" (on a
// machine without a sound device) but the last, which must be the one given.
void ExpectLastLine(const fs::path& dir, const std::string& start, const std::string& naming) {
    const std::vector<std::string> lines = Lines(dir / "stderr.txt");
    ASSERT_FALSE(lines.empty()) << "nothing on standard error";
    for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].rfind("no sound: ", 0), 0u) << lines[i];
    EXPECT_EQ(lines.back().rfind(start, 0), 0u) << lines.back();
    EXPECT_NE(lines.back().find(naming), std::string::npos) << lines.back();
}

// What start-up writes before it opens the window, and nothing else.
void ExpectOnlyStartupFiles(const fs::path& dir) {
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "settings.ini" || name == "worlds" || name == "replays" || name == "stderr.txt" ||
                    name == "stdout.txt")
            << name;
    }
    EXPECT_TRUE(fs::is_empty(dir / "worlds"));
}

class DisplaySmoke : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OwnDisplay::Available()) GTEST_SKIP() << "no virtual display server";
        XSetErrorHandler(IgnoreErrors);
    }
    void TearDown() override {
        if (d) XCloseDisplay(d);
    }
    void StartOwnDisplay() {
        own.Start();
        d = own.Connect();
        ASSERT_NE(d, nullptr) << "the virtual display did not start";
    }
    // The test lets go of the display first: its own connection would break too.
    void KillOwnDisplay(Game& game) {
        game.Watch(nullptr);
        XCloseDisplay(d);
        d = nullptr;
        own.Kill();
    }
    OwnDisplay own;
    Display* d = nullptr;
};

// With SDL_VIDEODRIVER unset the video library would try every driver it
// has, down to those that draw into memory; with x11 it tries only that.
class NoDisplay : public DisplaySmoke, public ::testing::WithParamInterface<const char*> {};
}  // namespace

TEST_P(NoDisplay, EndsWithinThreeSecondsWithOneLineNamingTheDisplay) {
    // The fixture's display is never started: its number names nothing.
    const auto start = std::chrono::steady_clock::now();
    Game game(nullptr, "",
              {{"DISPLAY", own.Name().c_str()},
               {"WAYLAND_DISPLAY", nullptr},
               {"XDG_RUNTIME_DIR", nullptr},
               {"SDL_VIDEODRIVER", GetParam()}});
    ASSERT_TRUE(game.WaitForEnd(10)) << "the program is still running, with no display to show it";
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LE(seconds, 3.0);
    EXPECT_NE(game.ExitCode(), 0);
    EXPECT_NE(game.ExitCode(), -1) << "ended by a signal";
    ExpectLastLine(game.dir, "cannot open the window: ", own.Name());
    ExpectOnlyStartupFiles(game.dir);
}

INSTANTIATE_TEST_SUITE_P(Drivers, NoDisplay, ::testing::Values(nullptr, "x11"),
                         [](const auto& info) { return std::string(info.param ? info.param : "any"); });

TEST_F(DisplaySmoke, TheWindowOpensOnADisplayThatComesUpJustAfterTheGame) {
    Game game(nullptr, "", {{"DISPLAY", own.Name().c_str()}, {"WAYLAND_DISPLAY", nullptr}});
    // Start-up writes the settings a moment (about a tenth of a second)
    // before it first asks for the window. The display is started a quarter
    // of a second after that, and takes a few hundred milliseconds more to
    // answer: the game's first asking certainly finds nothing.
    ASSERT_TRUE(WaitFor([&] { return fs::exists(game.dir / "settings.ini") || game.Ended(); }, 30));
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    ASSERT_NO_FATAL_FAILURE(StartOwnDisplay());
    game.Watch(d);
    const Window w = game.WaitForWindow();
    EXPECT_NE(w, 0u) << "no window was shown; standard error: " << Slurp(game.dir / "stderr.txt");
    if (w) {
        game.Close(w);
        EXPECT_TRUE(game.EndedWithCodeZero());
    }
    game.Watch(nullptr);
}

// The display ends under the game, as when the session it belongs to is
// closed: the game hears it as a close request, saves what the point it
// reached allows, says so in one line and ends with a failure code.
TEST_F(DisplaySmoke, TheDisplayGoingAwayOnTheTitleEndsTheGameWithoutWriting) {
    ASSERT_NO_FATAL_FAILURE(StartOwnDisplay());
    Game game(d, kSettings, {{"DISPLAY", own.Name().c_str()}});
    ASSERT_NE(game.WaitForWindow(), 0u) << "no window was shown";
    KillOwnDisplay(game);
    ASSERT_TRUE(game.WaitForEnd(30)) << "the game runs on without its display";
    EXPECT_EQ(game.ExitCode(), 1);
    ExpectLastLine(game.dir, "the display ", own.Name());
    ExpectOnlyStartupFiles(game.dir);
}

TEST_F(DisplaySmoke, TheDisplayGoingAwayInAnAreaSavesTheAreaAndTheWorld) {
    ASSERT_NO_FATAL_FAILURE(StartOwnDisplay());
    Game game(d, kSettings, {{"DISPLAY", own.Name().c_str()}});
    const Window w = game.WaitForWindow();
    ASSERT_NE(w, 0u) << "no window was shown";
    // Begin: the new world is made and saved, and its home area is played.
    const fs::path world = game.dir / "worlds" / "Gone";
    ASSERT_TRUE(game.BeginWorld(w, world)) << "Begin made no world";
    KillOwnDisplay(game);
    ASSERT_TRUE(game.WaitForEnd(30)) << "the game runs on without its display";
    EXPECT_EQ(game.ExitCode(), 1);
    ExpectLastLine(game.dir, "the display ", own.Name());
    // The home area was left and the world saved after the display went.
    const std::vector<std::string> out = Lines(game.dir / "stdout.txt");
    ASSERT_GE(out.size(), 3u);
    EXPECT_EQ(out[out.size() - 3], "leaving encounter type: 3");
    EXPECT_EQ(out.back(), "world saved: Gone");
    ExpectWorldWithItsHomeArea(world);
}
