// The replay's own files, straight on the disk: not the game's files, so
// never recorded, nor answered from a replay, nor stopped by a replay
// playing. A session's replay is written as it goes, by appending.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace journal {

// An open file of the replay's; NOFILE for none.
using File = intptr_t;
constexpr File NOFILE = -1;

// Makes the folder (its parent must exist); nothing when it is there.
void MakeFolder(const std::string& folder);
std::vector<std::string> List(const std::string& folder);
// The first bytes of a file (fewer when it is shorter; none when it cannot
// be read).
std::vector<uint8_t> Head(const std::string& path, size_t size);

// A new file to append to, held for as long as it is open: RemoveIdle
// leaves it alone, even from another program. NOFILE when it cannot be made
// (or one of that name exists already).
File Create(const std::string& path);
bool Append(File file, const uint8_t* data, size_t size);
void Close(File file);
// Removes the file unless a session holds it open; false when it stays.
bool RemoveIdle(const std::string& path);

// The local date and time now, as a replay is named: 2026-12-11_14-03-27.
std::string Stamp();

}  // namespace journal
