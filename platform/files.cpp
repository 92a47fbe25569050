// Files and folders relative to the working directory.
//
// Every file the game reads may be short, long or nonsense, so a read holds
// the whole file in memory and a read past its end yields 0 and marks the
// stream failed instead of running off. Every file the game writes goes to a
// temporary name beside it, is flushed to the disk and only then renamed over
// the old one: a crash, a kill or a full disk mid-save leaves the old file.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace {
// No file of the game comes near this; anything larger is damaged anyway,
// and reading a little past the limit is enough to see that.
constexpr size_t READLIMIT = 64u << 20;

std::string TempName(const std::string& path) { return path + ".tmp"; }

bool WriteAll(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= (size_t)w;
    }
    return true;
}

}  // namespace

std::string SystemPath(const std::string& path) {
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

std::unique_ptr<TStream> OpenRead(const std::string& gamepath) {
    const std::string path = SystemPath(gamepath);
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<TStream> s(new TStream);
    s->path = path;
    uint8_t buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        s->data.insert(s->data.end(), buf, buf + n);
        if (s->data.size() > READLIMIT) break;
    }
    ::close(fd);
    return s;
}

std::unique_ptr<TStream> OpenWrite(const std::string& gamepath) {
    const std::string path = SystemPath(gamepath);
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return nullptr;
    int fd = ::open(TempName(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    std::unique_ptr<TStream> s(new TStream);
    s->path = path;
    s->writing = true;
    s->data.reserve(4096);
    s->fd = fd;
    return s;
}

uint8_t TStream::ReadByte() {
    if (writing || pos >= data.size()) {
        failed = true;
        return 0;
    }
    return data[pos++];
}

uint16_t TStream::ReadShort() {
    uint16_t lo = ReadByte();
    uint16_t hi = ReadByte();
    return (uint16_t)(lo | hi << 8);
}

int32_t TStream::ReadInt() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= (uint32_t)ReadByte() << (8 * i);
    return (int32_t)v;
}

size_t TStream::ReadBytes(void* out, size_t n) {
    if (writing) return 0;
    size_t have = pos < data.size() ? data.size() - pos : 0;
    size_t k = n < have ? n : have;
    if (k) std::memcpy(out, data.data() + pos, k);
    pos += k;
    if (k < n) {
        std::memset((uint8_t*)out + k, 0, n - k);
        failed = true;
    }
    return k;
}

std::string TStream::ReadLine() {
    std::string line;
    while (!writing && pos < data.size()) {
        uint8_t c = data[pos++];
        if (c == 10 || c == 0) break;
        if (c != 13) line += (char)c;
    }
    return line;
}

void TStream::WriteByte(int v) {
    if (writing) data.push_back((uint8_t)v);
}

void TStream::WriteShort(int v) {
    WriteByte(v & 255);
    WriteByte((v >> 8) & 255);
}

void TStream::WriteInt(int32_t v) {
    uint32_t u = (uint32_t)v;
    for (int i = 0; i < 4; ++i) WriteByte((int)((u >> (8 * i)) & 255));
}

void TStream::WriteBytes(const void* p, size_t n) {
    if (writing) data.insert(data.end(), (const uint8_t*)p, (const uint8_t*)p + n);
}

void TStream::WriteLine(const std::string& text) {
    for (char c : text) WriteByte((uint8_t)c);
    WriteByte(13);
    WriteByte(10);
}

bool TStream::Close() {
    if (closed) return !failed;
    closed = true;
    if (!writing) return true;
    const std::string temp = TempName(path);
    bool ok = WriteAll(fd, data.data(), data.size());
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    fd = -1;
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        const int err = errno;
        ::unlink(temp.c_str());
        std::fprintf(stderr, "could not save %s: %s\n", path.c_str(), std::strerror(err));
        failed = true;
        return false;
    }
    // The folder itself is not synced: should the rename be lost to a power
    // cut, the old file is still there whole, and a sync per save would
    // double what saving costs.
    return true;
}

TStream::~TStream() {
    // A write never closed was abandoned half way (the program is ending in
    // the middle of a save): the old file stays as it was.
    if (writing && !closed) {
        ::close(fd);
        ::unlink(TempName(path).c_str());
    }
}

void MakeDir(const std::string& path) { ::mkdir(SystemPath(path).c_str(), 0755); }

std::vector<std::string> ListDir(const std::string& path) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(SystemPath(path).c_str());
    if (!dir) return names;
    while (struct dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names.push_back(e->d_name);
    }
    ::closedir(dir);
    return names;
}

void PrintLine(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
