// What the program is asked on its command line before the game starts, and
// the folder it keeps the player's files in. The game itself always works
// in its working folder ("settings.ini", "worlds/..."): choosing the data
// folder is entering it, so every file keeps its path and layout.
#include <string>
#include <vector>

#include "platform/machine.h"
#include "replay/replay.h"
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

const char* const USAGE = "usage: quillmoor [--data DIR] [--replay FILE | --verify FILE] [--version] [--help]";

void Help(const std::string& folder) {
    PrintLine(std::string(USAGE) + "\n");
    PrintLine(
        "Quillmoor: walk a generated overworld, fight, dig and trade in its areas.\n"
        "\n"
        "Options:\n"
        "  --data DIR       keep settings.ini, worlds/ and replays/ in DIR (made if missing)\n"
        "  --replay FILE    watch a recorded session in the window (its keys below)\n"
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
        "Watching a replay (--replay), none of them reaching the game:\n"
        "  Space               pause; play on\n"
        "  . (full stop)       paused: one update step on\n"
        "  Left, Right         10 seconds back, on\n"
        "  Page Up, Page Down  a minute back, on\n"
        "  Home, End           the start, the end\n"
        "  Up, Down            faster, slower: 1/4x to 16x, then as fast as it goes\n"
        "  Escape              leave (so does closing the window)\n"
        "\n"
        "Files: settings.ini and worlds/ are kept in " +
        (folder.empty() ? std::string("the folder the game is started in") : folder) +
        "; every play session is\n"
        "recorded in replays/ beside them (the newest 20 are kept). A replay never\n"
        "reads or writes the player's own files.");
}

}  // namespace

int StartFromCommandLine(int argc, char** argv) {
    // As the system gave them, in UTF-8 whatever the system's own code page.
    const std::vector<std::string> args = ProgramArguments(argc, argv);
    argc = (int)args.size();
    std::string folder = PLAYERDATA ? PlayersFolder() : "";
    bool given = false;
    std::string replay;
    bool window = false;
    for (int i = 1; i < argc; ++i) {
        const std::string& arg = args[(size_t)i];
        if (arg == "--version") {
            PrintLine(std::string("quillmoor ") + QUILLMOOR_VERSION);
            return 0;
        } else if (arg == "--help" || arg == "-h") {
            Help(folder);
            return 0;
        } else if (arg == "--data" && i + 1 < argc && !args[(size_t)i + 1].empty()) {
            folder = args[(size_t)++i];
            given = true;
        } else if (arg.rfind("--data=", 0) == 0 && arg.size() > 7) {
            folder = arg.substr(7);
            given = true;
        } else if ((arg == "--replay" || arg == "--verify") && replay.empty() && i + 1 < argc &&
                   !args[(size_t)i + 1].empty()) {
            replay = args[(size_t)++i];
            window = arg == "--replay";
        } else {
            const bool wantsfile = arg == "--replay" || arg == "--verify";
            const std::string what = arg == "--data" || arg == "--data=" ? "no folder given to"
                                     : wantsfile ? (replay.empty() ? "no file given to" : "one replay at a time:")
                                                 : "unknown option";
            PrintError("quillmoor: " + what + " '" + arg + "'\n" + USAGE);
            return 2;
        }
    }
    if (!replay.empty()) {
        // A replay carries every file it read: the player's folder is
        // neither entered nor touched.
        std::string why;
        replay::DrawBarWith(DrawReplayBar);
        if (replay::PlayFile(replay, window, QUILLMOOR_VERSION, why)) return -1;
        PrintLine(replay + ": " + why);
        return 1;
    }
    if (PLAYERDATA && !given && folder.empty())
        NoDataFolder("cannot use the data folder: " + PlayersFolderProblem());
    else if (!folder.empty())
        UseDataFolder(folder);
    if (!DataFolderProblem().empty()) {
        // Nothing is written anywhere else instead: the game plays, says so,
        // and begins no world it could not save.
        PrintError(DataFolderProblem());
    } else {
        replay::Record(QUILLMOOR_VERSION);
    }
    return -1;
}
