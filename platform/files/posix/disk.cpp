// The disk's own calls on a POSIX system (the desktop, the test machine,
// the page's memory file system).
#include "platform/files/disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace disk {

Found Look(const std::string& path) {
    Found f;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return f;
    f.exists = true;
    f.regular = S_ISREG(st.st_mode);
    f.folder = S_ISDIR(st.st_mode);
    // Read-only as the player sees it, even where the system would let this
    // user write it.
    f.readonly = (st.st_mode & 0222) == 0;
    f.mode = st.st_mode & 07777;
    return f;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::string LinkTarget(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return "";
    char to[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), to, sizeof to - 1);
    if (n <= 0) return "";
    return std::string(to, (size_t)n);
}

bool ReadWhole(const std::string& path, std::vector<uint8_t>& out, size_t limit) {
    // Not blocking: a pipe in a file's place would otherwise wait for a
    // writer for ever. It is refused below with everything else not a file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    out.clear();
    uint8_t buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out.insert(out.end(), buf, buf + n);
        if (out.size() > limit) break;
    }
    ::close(fd);
    return true;
}

std::vector<uint8_t> Head(const std::string& path, size_t size) {
    std::vector<uint8_t> bytes(size);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat st;
    ssize_t n = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) n = ::read(fd, bytes.data(), size);
    ::close(fd);
    bytes.resize(n > 0 ? (size_t)n : 0);
    return bytes;
}

File Create(const std::string& path, Make how, unsigned mode) {
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC;
    flags |= how == Make::REPLACE ? O_TRUNC : O_EXCL;
    if (how == Make::APPEND) flags |= O_APPEND;
    return ::open(path.c_str(), flags, (mode_t)mode);
}

File OpenOver(const std::string& path) { return ::open(path.c_str(), O_WRONLY | O_CLOEXEC); }

void SetMode(File file, unsigned mode) { ::fchmod((int)file, (mode_t)mode); }

bool Write(File file, const uint8_t* p, size_t n, bool fromstart) {
    off_t at = 0;
    while (n > 0) {
        const ssize_t w = fromstart ? ::pwrite((int)file, p, n, at) : ::write((int)file, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        at += w;
        n -= (size_t)w;
    }
    return !fromstart || ::ftruncate((int)file, at) == 0;
}

bool Sync(File file) { return ::fsync((int)file) == 0; }
bool Close(File file) { return ::close((int)file) == 0; }
bool Rename(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()) == 0; }
bool Remove(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

bool SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }

std::vector<std::string> List(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (struct dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names.push_back(e->d_name);
    }
    ::closedir(dir);
    return names;
}

// Every name is a file's name here.
bool Forbidden(const std::string&) { return false; }

std::string Why(int error) { return std::strerror(error); }

bool Hold(File file) { return ::flock((int)file, LOCK_EX | LOCK_NB) == 0; }

bool RemoveUnheld(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    // The lock is taken for the moment of removing, so a session that held
    // the file until just now has let it go for good.
    bool removed = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) removed = ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

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

bool Enter(const std::string& folder) { return ::chdir(folder.c_str()) == 0 && ::access(".", W_OK | X_OK) == 0; }

std::vector<std::string> Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

std::string PlayersFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // Only an absolute path counts; anything else is to be ignored.
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/quillmoor";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share/quillmoor";
    return "";
}

std::string PlayersFolderProblem() { return "neither XDG_DATA_HOME nor HOME is set"; }

std::string Stamp() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char s[32];
    std::strftime(s, sizeof s, "%Y-%m-%d_%H-%M-%S", &tm);
    return s;
}

}  // namespace disk
