// The replay's own files, straight on the disk. A session holds its replay
// locked while it writes it, so a session starting beside it (in this
// program or another) sees that it is in use and never removes it.
#include "platform/journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "platform/files/filelayer.h"

using namespace filelayer;

namespace journal {

void MakeFolder(const std::string& folder) {
    if (!writenothing) ::mkdir(folder.c_str(), 0755);
}

std::vector<std::string> List(const std::string& folder) { return DiskList(folder); }

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

int Create(const std::string& path) {
    if (writenothing) return -1;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) ::flock(fd, LOCK_EX | LOCK_NB);
    return fd;
}

bool Append(int file, const uint8_t* data, size_t size) { return WriteAll(file, "", data, size, false, false); }

void Close(int file) {
    if (file >= 0) ::close(file);
}

bool RemoveIdle(const std::string& path) {
    if (writenothing) return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    // Held by a session still writing it: it stays.
    bool removed = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) removed = ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

std::string Stamp() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char s[32];
    std::strftime(s, sizeof s, "%Y-%m-%d_%H-%M-%S", &tm);
    return s;
}

}  // namespace journal
