// The file layer every live machine shares: streams written whole through a
// temporary, the one-unit save and its recovery, the replay's own files and
// the folder the player's files are kept in, on the disk's own calls
// (disk.h, one set for each kind of system). Paths here are the machine's,
// with "/". Not for the game: it sees platform.h only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/files/disk.h"
#include "platform/platform.h"

namespace filelayer {

// Beside a file while its new contents are written.
extern const std::string TEMPSUFFIX;
// Nothing may be written at all (no folder for the player's files).
extern bool writenothing;

// Every operation that changes the disk passes here first; false (with
// errno set) when the lack of a folder or the machine (DiskFault) stops it.
bool Alive(DiskChange change, const std::string& path);
// The disk's calls that change it, each through Alive.
disk::File Create(const std::string& path, disk::Make how, unsigned mode, DiskChange change = DiskChange::CREATE);
disk::File OpenOver(const std::string& path);
bool WriteAll(disk::File file, const std::string& path, const uint8_t* p, size_t n, bool fromstart);
bool Sync(disk::File file, const std::string& path);
bool Rename(const std::string& from, const std::string& to);
bool Unlink(const std::string& path);
bool SyncFolder(const std::string& folder);
void MakeFolder(const std::string& path);
bool MoveAside(const std::string& path);
// A file written whole and synced, made or cut to nothing first.
bool WriteSynced(const std::string& path, const std::string& text);

bool EndsWith(const std::string& s, const std::string& end);
std::string FolderOf(const std::string& path);
// A file reached through a link is saved where the link points.
std::string ResolveLinks(const std::string& path);
void Complain(const std::string& path, const std::string& why);
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
    disk::File file = disk::NOFILE;  // the temporary (or the file itself, written in place)
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
