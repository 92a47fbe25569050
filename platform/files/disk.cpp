// The disk itself: the system's calls behind every file operation, links
// and read-only files, folders and their lists, the folder the player's
// files are kept in, and the faults tests make it suffer. Every operation
// that changes the disk passes Alive first.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files/filelayer.h"
#include "platform/machine.h"

namespace filelayer {
const std::string TEMPSUFFIX = ".tmp";

bool writenothing = false;

namespace {
std::string folderproblem;
}  // namespace

// Every operation that changes the disk passes here first; with no folder
// to keep files in, or when the machine fails it, none gets through.
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

int Create(const std::string& path, int flags, mode_t mode, DiskChange change) {
    return Alive(change, path) ? ::open(path.c_str(), flags, mode) : -1;
}

bool WriteAll(int fd, const std::string& path, const uint8_t* p, size_t n, bool fromstart, bool counted) {
    if (counted && !Alive(DiskChange::WRITE, path)) return false;
    off_t at = 0;
    while (n > 0) {
        const ssize_t w = fromstart ? ::pwrite(fd, p, n, at) : ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        at += w;
        n -= (size_t)w;
    }
    return !fromstart || ::ftruncate(fd, at) == 0;
}

bool Sync(int fd, const std::string& path) { return Alive(DiskChange::SYNC, path) && ::fsync(fd) == 0; }
bool Rename(const std::string& from, const std::string& to) {
    return Alive(DiskChange::RENAME, from) && ::rename(from.c_str(), to.c_str()) == 0;
}
bool Unlink(const std::string& path) {
    return Alive(DiskChange::REMOVE, path) && (::unlink(path.c_str()) == 0 || errno == ENOENT);
}

bool SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = Alive(DiskChange::SYNCFOLDER, folder) && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
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
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        char to[PATH_MAX];
        const ssize_t n = ::readlink(p.c_str(), to, sizeof to - 1);
        if (n <= 0) return p;
        to[n] = 0;
        p = to[0] == '/' ? std::string(to) : FolderOf(p) + "/" + to;
    }
    return p;  // a ring of links: opening it fails
}

void Complain(const std::string& path, const char* why) {
    std::fprintf(stderr, "could not save %s: %s\n", path.c_str(), why);
}

std::vector<std::string> DiskList(const std::string& path) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return names;
    while (struct dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names.push_back(e->d_name);
    }
    ::closedir(dir);
    return names;
}

bool WriteSynced(const std::string& path, const std::string& text) {
    const int fd = Create(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, path, (const uint8_t*)text.data(), text.size(), false) && Sync(fd, path);
    ok = ::close(fd) == 0 && ok;
    return ok;
}
bool MoveAside(const std::string& path) {
    return Alive(DiskChange::RENAME, path) && ::rename(path.c_str(), (path + ".bad").c_str()) == 0;
}

void MakeFolder(const std::string& path) {
    if (Alive(DiskChange::MAKEFOLDER, path)) ::mkdir(path.c_str(), 0755);
}

std::string FolderProblem() { return folderproblem; }
}  // namespace filelayer

using namespace filelayer;

namespace {
// Makes the folder and every missing folder above it.
bool MakeFolders(const std::string& folder) {
    for (size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}
}  // namespace

std::string PlayersFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // Only an absolute path counts; anything else is to be ignored.
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/quillmoor";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share/quillmoor";
    return "";
}

std::string PlayersFolderProblem() { return "neither XDG_DATA_HOME nor HOME is set"; }

bool UseDataFolder(const std::string& folder) {
    if (MakeFolders(folder) && ::chdir(folder.c_str()) == 0 && ::access(".", W_OK | X_OK) == 0) return true;
    NoDataFolder("cannot use the data folder " + folder + ": " + std::strerror(errno));
    return false;
}

void NoDataFolder(const std::string& why) {
    folderproblem = why;
    // From now on nothing is written, made or removed on the disk: every
    // save then fails, and is shown to fail, as on a full disk.
    writenothing = true;
}
