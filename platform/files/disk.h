// The disk's own calls: the few things the file layer asks of a machine's
// file system, made once for POSIX systems (posix/disk.cpp) and once for
// Windows (windows/disk.cpp). Paths are UTF-8, with "/" between folders. A
// call that fails leaves errno saying why, as POSIX names it, so the layer
// above reads every system's failures alike. None of these asks the machine
// first (filelayer.h's operations do, and then call these).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace disk {

// An open file; NOFILE for none.
using File = intptr_t;
constexpr File NOFILE = -1;

// What has a name on the disk.
struct Found {
    bool exists = false;
    bool regular = false;   // a plain file (not a folder, a pipe, a device)
    bool folder = false;
    bool readonly = false;  // the player made it read-only
    unsigned mode = 0644;   // its permissions, to give the file written in its place
};
// Through links, as opening it would find it.
Found Look(const std::string& path);
// The name itself: a link is something, whatever it names.
bool Exists(const std::string& path);
// What a link names, one step, as a path from here; empty when the path is
// no link (or links are not followed on this system).
std::string LinkTarget(const std::string& path);

// Reads a whole regular file, never waiting on what is not one (a pipe in
// a file's place); false when there is none, or it is not a regular file.
// Stops a little past `limit` bytes: a file that large is no file of ours.
bool ReadWhole(const std::string& path, std::vector<uint8_t>& out, size_t limit);
// Up to `size` first bytes of a regular file, not through a link.
std::vector<uint8_t> Head(const std::string& path, size_t size);

enum class Make {
    NEW,      // a file that must not exist yet (never through a link)
    REPLACE,  // made, or cut to nothing (never through a link)
    APPEND,   // a new file, written at its end
};
File Create(const std::string& path, Make how, unsigned mode);
// An existing file, to be written over in place.
File OpenOver(const std::string& path);
// The file takes these permissions.
void SetMode(File file, unsigned mode);
// All n bytes: at the start, the file cut after them (`fromstart`), or at
// its end.
bool Write(File file, const uint8_t* data, size_t n, bool fromstart);
// What was written is on the disk.
bool Sync(File file);
bool Close(File file);
// The file takes `to`'s name, in place of whatever had it.
bool Rename(const std::string& from, const std::string& to);
// True when nothing has that name any more (or nothing had).
bool Remove(const std::string& path);
// The names in the folder are on the disk (true where a system keeps them
// so itself).
bool SyncFolder(const std::string& folder);
// A folder, in a folder that exists; true when it was made.
bool MakeFolder(const std::string& path);
// A folder's names, in the order the system gives them, without "." and "..".
std::vector<std::string> List(const std::string& folder);
// A name this system cannot give a file (a device's), whatever the folder.
bool Forbidden(const std::string& name);
// What errno says, in words.
std::string Why(int error);

// ---------------------------------------------------------------- held files

// Held by this program while it is open: another, asking HeldElsewhere,
// sees that it is in use.
bool Hold(File file);
// Removes the file unless someone holds it open; false when it stays.
bool RemoveUnheld(const std::string& path);

// ---------------------------------------------------------------- where the player's files are

// Makes the folder and every missing folder above it.
bool MakeFolders(const std::string& folder);
// Works in that folder from now on; false (errno set) when it cannot be
// entered, or files cannot be made in it.
bool Enter(const std::string& folder);
// The program's arguments in UTF-8 (Windows hands a program's narrow
// arguments over in its own code page, and keeps the true ones wide).
std::vector<std::string> Arguments(int argc, char** argv);
// Where this system keeps a player's files for a program; empty when it
// knows of none, and PlayersFolderProblem says why.
std::string PlayersFolder();
std::string PlayersFolderProblem();
// The local date and time now, as a file may be named: 2026-12-11_14-03-27.
std::string Stamp();

}  // namespace disk
