// The folder the player's files are kept in: made and entered before the
// game starts, or, when it cannot be had, nothing written anywhere at all.
#include <cerrno>

#include "platform/files/filelayer.h"
#include "platform/machine.h"

namespace filelayer {
namespace {
std::string folderproblem;
}  // namespace

std::string FolderProblem() { return folderproblem; }
}  // namespace filelayer

using namespace filelayer;

std::vector<std::string> ProgramArguments(int argc, char** argv) { return disk::Arguments(argc, argv); }
std::string PlayersFolder() { return disk::PlayersFolder(); }
std::string PlayersFolderProblem() { return disk::PlayersFolderProblem(); }

bool UseDataFolder(const std::string& folder) {
    if (disk::MakeFolders(folder) && disk::Enter(folder)) return true;
    NoDataFolder("cannot use the data folder " + folder + ": " + disk::Why(errno));
    return false;
}

void NoDataFolder(const std::string& why) {
    folderproblem = why;
    // From now on nothing is written, made or removed on the disk: every
    // save then fails, and is shown to fail, as on a full disk.
    writenothing = true;
}
