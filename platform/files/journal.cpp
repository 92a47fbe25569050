// The replay's own files, straight on the disk. A session holds its replay
// while it writes it, so a session starting beside it (in this program or
// another) sees that it is in use and never removes it.
#include "platform/journal.h"

#include "platform/files/filelayer.h"

using namespace filelayer;

namespace journal {

void MakeFolder(const std::string& folder) {
    if (!writenothing) disk::MakeFolder(folder);
}

std::vector<std::string> List(const std::string& folder) { return disk::List(folder); }

std::vector<uint8_t> Head(const std::string& path, size_t size) { return disk::Head(path, size); }

File Create(const std::string& path) {
    if (writenothing) return NOFILE;
    const disk::File file = disk::Create(path, disk::Make::APPEND, 0644);
    if (file != disk::NOFILE) disk::Hold(file);
    return file;
}

bool Append(File file, const uint8_t* data, size_t size) { return disk::Write(file, data, size, false); }

void Close(File file) {
    if (file != NOFILE) disk::Close(file);
}

bool RemoveIdle(const std::string& path) { return !writenothing && disk::RemoveUnheld(path); }

std::string Stamp() { return disk::Stamp(); }

}  // namespace journal
