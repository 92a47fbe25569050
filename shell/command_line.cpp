// What the program is asked on its command line before the game starts, and
// the folder it keeps the player's files in. The game itself always works
// in its working folder ("settings.ini", "worlds/..."): choosing the data
// folder is entering it, so every file keeps its path and layout.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/base.h"
#include "shell/shell.h"

namespace {
#ifdef QUILLMOOR_PLAYER_DATA
// An installed copy keeps the player's files in the player's data folder,
// wherever it is started from.
constexpr bool PLAYERDATA = true;
#else
// A copy built in its source tree plays where it is started, as it always has.
constexpr bool PLAYERDATA = false;
#endif

const char* const USAGE = "usage: quillmoor [--data DIR] [--replay FILE | --verify FILE] [--version] [--help]\n";

// $XDG_DATA_HOME/quillmoor, by default ~/.local/share/quillmoor; empty when
// neither the variable nor a home folder is known.
std::string PlayerDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // Only an absolute path counts; anything else is to be ignored.
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/quillmoor";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share/quillmoor";
    return "";
}

void Help(const std::string& folder) {
    std::printf("%s\n", USAGE);
    std::printf(
        "Quillmoor: walk a generated overworld, fight, dig and trade in its areas.\n"
        "\n"
        "Options:\n"
        "  --data DIR       keep settings.ini, worlds/ and replays/ in DIR (made if missing)\n"
        "  --replay FILE    play a recorded session back in the window (Space: fast forward)\n"
        "  --verify FILE    play it back with no window and check it: 'replay ok: N steps'\n"
        "                   and 0, or 1 and the first step that differs\n"
        "  --version        print the version and exit\n"
        "  --help           print this and exit\n"
        "\n"
        "Keys:\n"
        "  arrows or W A S D   walk; in an area run and look; in menus move\n"
        "  X or P              jump; enter a known tile; confirm\n"
        "  Z or O              act: swing, dig, place, talk; cancel\n"
        "  Space (held)        scout a neighbouring tile; swap the held item\n"
        "  Enter               status menu; bag\n"
        "  Escape              leave the area; save and return to the title\n"
        "\n"
        "Files: settings.ini and worlds/ are kept in %s; every play session is\n"
        "recorded in replays/ beside them (the newest 20 are kept). A replay never\n"
        "reads or writes the player's own files.\n",
        folder.empty() ? "the folder the game is started in" : folder.c_str());
}

}  // namespace

int StartFromCommandLine(int argc, char** argv) {
    std::string folder = PLAYERDATA ? PlayerDataFolder() : "";
    bool given = false;
    std::string replay;
    bool window = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--version") {
            std::printf("quillmoor %s\n", QUILLMOOR_VERSION);
            return 0;
        } else if (arg == "--help" || arg == "-h") {
            Help(folder);
            return 0;
        } else if (arg == "--data" && i + 1 < argc && argv[i + 1][0] != '\0') {
            folder = argv[++i];
            given = true;
        } else if (arg.rfind("--data=", 0) == 0 && arg.size() > 7) {
            folder = arg.substr(7);
            given = true;
        } else if ((arg == "--replay" || arg == "--verify") && replay.empty() && i + 1 < argc && argv[i + 1][0] != '\0') {
            replay = argv[++i];
            window = arg == "--replay";
        } else {
            const bool wantsfile = arg == "--replay" || arg == "--verify";
            std::fprintf(stderr, "quillmoor: %s '%s'\n%s",
                         arg == "--data" || arg == "--data=" ? "no folder given to"
                         : wantsfile                         ? (replay.empty() ? "no file given to" : "one replay at a time:")
                                                             : "unknown option",
                         arg.c_str(), USAGE);
            return 2;
        }
    }
    if (!replay.empty()) {
        // A replay carries every file it read: the player's folder is
        // neither entered nor touched.
        std::string why;
        if (PlayBack(replay, window, QUILLMOOR_VERSION, why)) return -1;
        std::printf("%s: %s\n", replay.c_str(), why.c_str());
        return 1;
    }
    if (PLAYERDATA && !given && folder.empty())
        NoDataFolder("cannot use the data folder: neither XDG_DATA_HOME nor HOME is set");
    else if (!folder.empty())
        UseDataFolder(folder);
    if (!DataFolderProblem().empty()) {
        // Nothing is written anywhere else instead: the game plays, says so,
        // and begins no world it could not save.
        std::fprintf(stderr, "%s\n", DataFolderProblem().c_str());
    } else {
        RecordSession(QUILLMOOR_VERSION);
    }
    return -1;
}
