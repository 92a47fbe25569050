// What the file layer's parts share: the disk's own operations, each of
// which passes the fault hooks first, and the parts of it that reach into
// a stream. Not for the game: it sees platform.h only.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace filelayer {

// Beside a file while its new contents are written.
extern const std::string TEMPSUFFIX;
// Temporary files cannot be made (a test's fault).
extern bool refusetemps;
// Nothing may be written at all (no folder for the player's files).
extern bool writenothing;

// Every operation that changes the disk passes here first; false (with
// errno set) when a test's fault or the lack of a folder stops it.
bool Alive();
int Create(const std::string& path, int flags, mode_t mode);
// Writes all n bytes, at the file's start (and cut there) or where it is.
// `counted`: through Alive, as the game's own files are.
bool WriteAll(int fd, const uint8_t* p, size_t n, bool fromstart, bool counted = true);
bool Sync(int fd);
bool Rename(const std::string& from, const std::string& to);
bool Unlink(const std::string& path);
bool SyncFolder(const std::string& folder);
bool Exists(const std::string& path);
bool EndsWith(const std::string& s, const std::string& end);
std::string FolderOf(const std::string& path);
// A file reached through a link is saved where the link points.
std::string ResolveLinks(const std::string& path);
void Complain(const std::string& path, const char* why);
// A folder's names, from the disk itself.
std::vector<std::string> DiskList(const std::string& path);
bool WriteSynced(const std::string& path, const std::string& text);

}  // namespace filelayer

// The parts of the file layer that reach into a stream.
struct FileLayer {
    // Reads a whole regular file from the disk, answering nothing to a replay.
    static std::unique_ptr<TStream> ReadFile(const std::string& path);
    static std::unique_ptr<TStream> WriteFile(const std::string& path);
    static bool WriteTogether(const std::string& folder, std::initializer_list<TStream*> files);
};
