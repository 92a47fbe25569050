// The file layer every live machine shares (each has a POSIX file system):
// the disk's own operations, each of which asks the machine first
// (DiskFault), and the parts of it that reach into a stream. Paths here are
// the machine's, with "/". Not for the game: it sees platform.h only.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/platform.h"

namespace filelayer {

// Beside a file while its new contents are written.
extern const std::string TEMPSUFFIX;
// Nothing may be written at all (no folder for the player's files).
extern bool writenothing;

// Every operation that changes the disk passes here first; false (with
// errno set) when the lack of a folder or the machine (DiskFault) stops it.
bool Alive(DiskChange change, const std::string& path);
int Create(const std::string& path, int flags, mode_t mode, DiskChange change = DiskChange::CREATE);
// Writes all n bytes, at the file's start (and cut there) or where it is.
// `counted`: through Alive, as the game's own files are.
bool WriteAll(int fd, const std::string& path, const uint8_t* p, size_t n, bool fromstart, bool counted = true);
bool Sync(int fd, const std::string& path);
bool Rename(const std::string& from, const std::string& to);
bool Unlink(const std::string& path);
bool SyncFolder(const std::string& folder);
bool EndsWith(const std::string& s, const std::string& end);
std::string FolderOf(const std::string& path);
// A file reached through a link is saved where the link points.
std::string ResolveLinks(const std::string& path);
void Complain(const std::string& path, const char* why);
bool WriteSynced(const std::string& path, const std::string& text);

// What the live machine asks of the disk.
// Something (a file, a folder, a link, anything) has that name.
bool Exists(const std::string& path);
// A folder's names, in the order the system gives them.
std::vector<std::string> DiskList(const std::string& path);
void MakeFolder(const std::string& path);
bool MoveAside(const std::string& path);
// Finishes a unit save cut short in the folder (unitsave.cpp).
bool Recover(const std::string& folder);
// The folder exists, or was just made, and a temporary can be made in it.
bool SaveableFolder(const std::string& folder);
// Why the player's files have no folder (empty when they have one).
std::string FolderProblem();

}  // namespace filelayer

// Where a stream's file is on the disk, and how a write reaches it.
struct TStream::Place {
    std::string target;  // the file that is replaced: through a link, the file it points to
    std::string temp;    // beside the target while the new contents are written
    int fd = -1;         // the temporary (or the file itself, written in place)
    bool inplace = false;  // no temporary could be made beside the file: it is written over
};

// The parts of the file layer that reach into a stream.
struct FileLayer {
    // Reads a whole regular file from the disk.
    static std::unique_ptr<TStream> ReadFile(const std::string& path);
    static std::unique_ptr<TStream> WriteFile(const std::string& path);
    // A write's close: whole on the disk, and kept where the machine keeps files.
    static bool Close(TStream& s);
    static bool WriteTogether(const std::string& folder, std::initializer_list<TStream*> files);
    // The new contents whole and synced on the disk, the file closed.
    static bool Flush(TStream& s);
    // The temporary renamed over the file.
    static bool Replace(TStream& s);
    // Gives up a write: the temporary goes, the old file stays.
    static void Fail(TStream& s);
    // A write never closed (the program ends in the middle of a save).
    static void Abandon(TStream& s);
};
