// The installed game, as a player on a fresh account meets it: the package
// is unpacked into a throwaway root (the machine's own folders are never
// touched), and that copy is started from a working folder it may not write
// to, with a home folder of its own. A new world begun there and the
// settings are kept in the player's data folder, and nothing in the working
// folder. Runs when QUILLMOOR_DEB names the package (tools/test_package.sh)
// and a display server is at hand.
#include <gtest/gtest.h>
// After the test framework: X11 defines macros (None) that clash with it.
#include <X11/Xlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/smoke/game_process.h"

using namespace smoke;

namespace {
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }
}  // namespace

TEST(InstallSmoke, TheInstalledGameKeepsThePlayersFilesInTheDataFolderAndNothingWhereItStarts) {
    const char* deb = std::getenv("QUILLMOOR_DEB");
    if (!deb || !*deb) GTEST_SKIP() << "QUILLMOOR_DEB names no package";
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display server";
    const fs::path top = fs::temp_directory_path() / ("quillmoor-install-" + std::to_string(getpid()));
    fs::remove_all(top);
    const fs::path root = top / "root", home = top / "home", work = top / "work";
    fs::create_directories(home);
    fs::create_directories(work);
    ASSERT_EQ(std::system(("dpkg-deb -x '" + std::string(deb) + "' '" + root.string() + "'").c_str()), 0);
    const fs::path exe = root / "usr/games/quillmoor";
    ASSERT_TRUE(fs::exists(exe)) << "the package has no usr/games/quillmoor";
    ::chmod(work.c_str(), 0555);

    Display* d = nullptr;
    WaitFor([&] { return (d = XOpenDisplay(nullptr)) != nullptr; }, 5);
    ASSERT_NE(d, nullptr) << "the display server named by DISPLAY does not answer";
    XSetErrorHandler(IgnoreErrors);
    {
        Game game(d, exe.string(), work, {{"HOME", home.c_str()}, {"XDG_DATA_HOME", nullptr}});
        const Window w = game.WaitForWindow();
        ASSERT_NE(w, 0u) << Slurp(game.dir / "stderr.txt");
        const fs::path data = home / ".local/share/quillmoor";
        ASSERT_TRUE(game.BeginWorld(w, data / "worlds/Defaultia")) << "Begin made no world in " << data;
        game.Close(w);
        EXPECT_TRUE(game.EndedWithCodeZero()) << Slurp(game.dir / "stderr.txt");
        EXPECT_TRUE(fs::exists(data / "settings.ini"));
        ExpectWorldWithItsHomeArea(data / "worlds/Defaultia");
    }
    XCloseDisplay(d);
    EXPECT_TRUE(fs::is_empty(work)) << "the game wrote in the folder it was started from";
    // The game's own files are only there: the data folder holds the
    // settings and the worlds, and nothing else of the game's is in the home.
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(home))
        if (entry.is_regular_file() && entry.path().string().find("/.local/share/quillmoor/worlds/") == std::string::npos)
            files.push_back(fs::relative(entry.path(), home).string());
    // (The sound system may keep a note of its own under .config.)
    files.erase(std::remove_if(files.begin(), files.end(), [](const std::string& f) { return f.rfind(".config/", 0) == 0; }),
                files.end());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 2u);
    // The settings, and the session's replay beside the worlds, which the
    // installed game plays back as it was played.
    EXPECT_EQ(files[1], ".local/share/quillmoor/settings.ini");
    EXPECT_EQ(files[0].rfind(".local/share/quillmoor/replays/", 0), 0u) << files[0];
    const std::string verify = exe.string() + " --verify '" + (home / files[0]).string() + "' 2>&1";
    FILE* p = ::popen(verify.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char line[256] = {};
    const bool read = std::fgets(line, sizeof line, p) != nullptr;
    EXPECT_EQ(::pclose(p), 0) << line;
    EXPECT_TRUE(read && std::string(line).rfind("replay ok: ", 0) == 0) << line;
    ::chmod(work.c_str(), 0755);
    fs::remove_all(top);
}
