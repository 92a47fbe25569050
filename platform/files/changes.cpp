// Every change the file layer makes to the disk passes here, and asks the
// machine first (DiskFault): a real machine lets all through, the test
// machine fails some on purpose. With no folder for the player's files,
// none gets through. And the names the layer shares: links followed to the
// file they name, folders, and the one line a failed save says.
#include <cerrno>
#include <cstdio>

#include "platform/files/filelayer.h"

namespace filelayer {
const std::string TEMPSUFFIX = ".tmp";

bool writenothing = false;

bool Alive(DiskChange change, const std::string& path) {
    if (writenothing) {
        errno = EROFS;
        return false;
    }
    if (const int fault = DiskFault(change, path)) {
        errno = fault;
        return false;
    }
    return true;
}

disk::File Create(const std::string& path, disk::Make how, unsigned mode, DiskChange change) {
    return Alive(change, path) ? disk::Create(path, how, mode) : disk::NOFILE;
}

disk::File OpenOver(const std::string& path) {
    return Alive(DiskChange::CREATE, path) ? disk::OpenOver(path) : disk::NOFILE;
}

bool WriteAll(disk::File file, const std::string& path, const uint8_t* p, size_t n, bool fromstart) {
    return Alive(DiskChange::WRITE, path) && disk::Write(file, p, n, fromstart);
}

bool Sync(disk::File file, const std::string& path) { return Alive(DiskChange::SYNC, path) && disk::Sync(file); }

bool Rename(const std::string& from, const std::string& to) {
    return Alive(DiskChange::RENAME, from) && disk::Rename(from, to);
}

bool Unlink(const std::string& path) { return Alive(DiskChange::REMOVE, path) && disk::Remove(path); }

bool SyncFolder(const std::string& folder) {
    return disk::Exists(folder) && Alive(DiskChange::SYNCFOLDER, folder) && disk::SyncFolder(folder);
}

void MakeFolder(const std::string& path) {
    if (Alive(DiskChange::MAKEFOLDER, path)) disk::MakeFolder(path);
}

// Kept beside its name with ".bad", replacing one set aside before.
bool MoveAside(const std::string& path) {
    return Alive(DiskChange::RENAME, path) && disk::Rename(path, path + ".bad");
}

bool WriteSynced(const std::string& path, const std::string& text) {
    const disk::File file = Create(path, disk::Make::REPLACE, 0644, DiskChange::CREATE);
    if (file == disk::NOFILE) return false;
    bool ok = WriteAll(file, path, (const uint8_t*)text.data(), text.size(), false) && Sync(file, path);
    ok = disk::Close(file) && ok;
    return ok;
}

bool EndsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::string FolderOf(const std::string& path) {
    const size_t k = path.rfind('/');
    return k == std::string::npos ? "." : k == 0 ? "/" : path.substr(0, k);
}

// A file reached through a link is saved where the link points, so the link
// stays a link and the file it names gets the new contents.
std::string ResolveLinks(const std::string& path) {
    std::string p = path;
    for (int depth = 0; depth < 16; ++depth) {
        const std::string to = disk::LinkTarget(p);
        if (to.empty()) return p;
        p = to[0] == '/' ? to : FolderOf(p) + "/" + to;
    }
    return p;  // a ring of links: opening it fails
}

void Complain(const std::string& path, const std::string& why) {
    std::fprintf(stderr, "could not save %s: %s\n", path.c_str(), why.c_str());
}
}  // namespace filelayer
