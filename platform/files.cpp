// Files and folders relative to the working directory.
//
// Every file the game reads may be short, long, nonsense or not a file at
// all, so a read takes only regular files, holds the whole file in memory,
// and a read past its end yields 0 and marks the stream failed instead of
// running off. Every file the game writes goes to a temporary name beside
// it, is synced to the disk and only then renamed over the old one: a crash,
// a kill or a full disk mid-save leaves the old file. Files that belong
// together (a world's map and its player) are committed as one: a record of
// the commit is written once both new files are whole, and whoever finds
// that record finishes the renames.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/backend.h"
#include "platform/filefaults.h"
#include "platform/platform.h"
#include "replay/session.h"

namespace {
// No file of the game comes near this; anything larger is damaged anyway,
// and reading a little past the limit is enough to see that.
constexpr size_t READLIMIT = 64u << 20;
const std::string TEMPSUFFIX = ".tmp";
// The record of a unit save, beside its files: the names of the files, one
// a line, then the end line. Without the end line it was never committed.
const std::string COMMITNAME = "commit";
const std::string COMMITEND = "end";

int opsleft = -1, opsdone = 0;
int failonce = 0;  // counting down to the one operation a test makes fail
bool refusetemps = false;
bool writenothing = false;
std::string folderproblem;

// Every operation that changes the disk passes here first; after a death
// set by a test, or with no folder to keep files in, none gets through.
bool Alive() {
    ++opsdone;
    if (writenothing) {
        errno = EROFS;
        return false;
    }
    if (failonce > 0 && --failonce == 0) {
        errno = EIO;
        return false;
    }
    if (opsleft < 0) return true;
    if (opsleft == 0) {
        errno = EIO;
        return false;
    }
    --opsleft;
    return true;
}

int Create(const std::string& path, int flags, mode_t mode) { return Alive() ? ::open(path.c_str(), flags, mode) : -1; }

bool WriteAll(int fd, const uint8_t* p, size_t n, bool fromstart, bool counted = true) {
    if (counted && !Alive()) return false;
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

bool Sync(int fd) { return Alive() && ::fsync(fd) == 0; }
bool Rename(const std::string& from, const std::string& to) { return Alive() && ::rename(from.c_str(), to.c_str()) == 0; }
bool Unlink(const std::string& path) { return Alive() && (::unlink(path.c_str()) == 0 || errno == ENOENT); }

bool SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = Sync(fd);
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
    DIR* dir = ::opendir(SystemPath(path).c_str());
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
    bool ok = WriteAll(fd, (const uint8_t*)text.data(), text.size(), false) && Sync(fd);
    ok = ::close(fd) == 0 && ok;
    return ok;
}
}  // namespace

namespace filefaults {
void DieAfter(int count) {
    opsleft = count;
    opsdone = 0;
}
int Operations() { return opsdone; }
void RefuseTemporaries(bool refuse) { refusetemps = refuse; }
void FailOnce(int nth) { failonce = nth; }
}  // namespace filefaults

std::string SystemPath(const std::string& path) {
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

// The parts of the file layer that reach into a stream.
struct FileLayer {
    static std::unique_ptr<TStream> ReadFile(const std::string& path);
    static std::unique_ptr<TStream> WriteFile(const std::string& path);
    static bool WriteTogether(const std::string& folder, std::initializer_list<TStream*> files);
};

std::unique_ptr<TStream> FileLayer::ReadFile(const std::string& path) {
    // Not blocking: a pipe in a file's place would otherwise wait for a
    // writer for ever. It is refused below with everything else not a file.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
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

std::unique_ptr<TStream> OpenRead(const std::string& gamepath) {
    const std::string path = SystemPath(gamepath);
    if (session::Playing()) {
        std::vector<uint8_t> bytes;
        if (!session::PlayRead(path, bytes)) return nullptr;
        auto s = OpenMemory(bytes.data(), bytes.size());
        s->path = path;
        return s;
    }
    std::unique_ptr<TStream> s = FileLayer::ReadFile(path);
    session::NoteRead(path, s ? &s->data : nullptr);
    return s;
}

std::unique_ptr<TStream> OpenMemory(const uint8_t* bytes, size_t size) {
    std::unique_ptr<TStream> s(new TStream);
    if (size) s->data.assign(bytes, bytes + size);
    return s;
}

std::unique_ptr<TStream> FileLayer::WriteFile(const std::string& path) {
    const std::string target = ResolveLinks(path);
    struct stat st;
    const bool exists = ::stat(target.c_str(), &st) == 0;
    mode_t mode = 0644;
    if (exists) {
        if (!S_ISREG(st.st_mode)) {
            Complain(path, "it is not a regular file");
            return nullptr;
        }
        // A file the player made read-only stays as it is, even where the
        // system would let this user write it.
        if ((st.st_mode & 0222) == 0) {
            Complain(path, "it is read-only");
            return nullptr;
        }
        mode = st.st_mode & 07777;
    }
    std::unique_ptr<TStream> s(new TStream);
    s->path = path;
    s->target = target;
    s->temp = target + TEMPSUFFIX;
    s->writing = true;
    s->data.reserve(4096);
    // Whatever was left under the temporary name goes first, so the new one
    // is made afresh and never written through a link.
    Unlink(s->temp);
    int fd = -1;
    if (refusetemps)
        errno = EACCES;
    else
        fd = Create(s->temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0) {
        if (exists) ::fchmod(fd, mode);  // the new file keeps the old one's permissions
    } else if (exists && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        // No temporary may be made beside the file, but the file itself may
        // be written: it is written over in place, synced, as the one way
        // left to save it.
        fd = Create(target, O_WRONLY | O_CLOEXEC, 0);
        s->inplace = fd >= 0;
    }
    if (fd < 0) {
        Complain(path, std::strerror(errno));
        return nullptr;
    }
    s->fd = fd;
    return s;
}

std::unique_ptr<TStream> OpenWrite(const std::string& gamepath) {
    const std::string path = SystemPath(gamepath);
    if (session::Playing()) {
        if (!session::Answer(session::OPENWRITE, path, false)) return nullptr;
        std::unique_ptr<TStream> s(new TStream);
        s->path = s->target = path;
        s->writing = s->replayed = true;
        return s;
    }
    std::unique_ptr<TStream> s = FileLayer::WriteFile(path);
    session::Answer(session::OPENWRITE, path, s != nullptr);
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

// The new contents whole and synced on the disk, the file closed.
bool TStream::Flush() {
    bool ok = WriteAll(fd, data.data(), data.size(), inplace) && Sync(fd);
    ok = ::close(fd) == 0 && ok;
    fd = -1;
    return ok;
}

bool TStream::Replace() { return inplace || Rename(temp, target); }

void TStream::Fail() {
    const int err = errno;
    if (fd >= 0) ::close(fd);
    fd = -1;
    if (!inplace) Unlink(temp);
    Complain(path, std::strerror(err));
    failed = true;
}

bool TStream::Close() {
    if (closed) return !failed;
    closed = true;
    if (!writing) return true;
    bool ok = false;
    if (replayed) {
        ok = session::Answer(session::CLOSE, path, false);
        failed = !ok;
    } else if (Flush() && Replace()) {
        ok = KeepFiles({target});
        if (!ok) {
            Complain(path, "it could not be kept");
            failed = true;
        }
        session::Answer(session::CLOSE, path, ok);
    } else {
        Fail();
        session::Answer(session::CLOSE, path, false);
    }
    session::Wrote(path, data, ok);
    return ok;
}

TStream::~TStream() {
    // A write never closed was abandoned half way (the program is ending in
    // the middle of a save): the old file stays as it was.
    if (writing && !closed && !replayed) {
        ::close(fd);
        if (!inplace) Unlink(temp);
    }
}

bool CloseTogether(const std::string& gamefolder, std::initializer_list<TStream*> files) {
    const std::string folder = SystemPath(gamefolder);
    for (TStream* s : files)
        if (!s || !s->writing || s->closed) return false;
    bool ok = false;
    if (session::Playing()) {
        ok = session::Answer(session::CLOSETOGETHER, folder, false);
        for (TStream* s : files) {
            s->closed = true;
            s->failed = !ok;
        }
    } else {
        ok = session::Answer(session::CLOSETOGETHER, folder, FileLayer::WriteTogether(folder, files));
    }
    for (TStream* s : files) session::Wrote(s->path, s->data, ok);
    return ok;
}

bool FileLayer::WriteTogether(const std::string& folder, std::initializer_list<TStream*> files) {
    bool ok = true, unit = true;
    std::string record;
    for (TStream* s : files) {
        if (!s || !s->writing || s->closed) return false;
        // Only files right in the folder are named in its record.
        const std::string name = s->path.substr(std::min(s->path.size(), folder.size() + 1));
        unit = unit && !s->inplace && FolderOf(s->path) == folder && name.find('\n') == std::string::npos;
        record += name + "\n";
    }
    record += COMMITEND + "\n";
    const std::string mark = folder + "/" + COMMITNAME;
    // Every new file whole on the disk under its temporary name...
    for (TStream* s : files) {
        s->closed = true;
        ok = s->Flush() && ok;
    }
    // ...then the commit: from the moment its record is on the disk, the new
    // files win, and a crash before the renames below is finished by the
    // next RecoverSaves.
    if (ok && unit) ok = WriteSynced(mark, record) && SyncFolder(folder);
    if (!ok) {
        for (TStream* s : files) s->Fail();
        return false;
    }
    for (TStream* s : files)
        if (!s->Replace()) {
            // The record stays: the next RecoverSaves finishes what is left.
            Complain(s->path, std::strerror(errno));
            s->failed = true;
            ok = false;
        }
    if (ok && unit) {
        SyncFolder(folder);
        Unlink(mark);
    }
    if (ok) {
        std::vector<std::string> targets;
        for (TStream* s : files) targets.push_back(s->target);
        if (!KeepFiles(targets)) {
            for (TStream* s : files) {
                Complain(s->path, "it could not be kept");
                s->failed = true;
            }
            ok = false;
        }
    }
    return ok;
}

namespace {
bool Recover(const std::string& gamefolder);
}

bool RecoverSaves(const std::string& gamefolder) {
    const std::string folder = SystemPath(gamefolder);
    if (session::Playing()) return session::Answer(session::RECOVER, folder, false);
    return session::Answer(session::RECOVER, folder, Recover(gamefolder));
}

namespace {
bool Recover(const std::string& gamefolder) {
    const std::string folder = SystemPath(gamefolder);
    const std::string mark = folder + "/" + COMMITNAME;
    bool ok = true;
    if (Exists(mark)) {
        std::vector<std::string> names;
        bool committed = false;
        if (auto record = OpenRead(gamefolder + "\\" + COMMITNAME)) {
            while (!record->Eof()) {
                const std::string line = record->ReadLine();
                if (line == COMMITEND) {
                    committed = true;
                    break;
                }
                names.push_back(line);
            }
        }
        if (committed) {
            for (const std::string& name : names) {
                // A record names files of its own folder and nothing else.
                if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
                    ok = false;
                    continue;
                }
                const std::string target = ResolveLinks(folder + "/" + name);
                if (Exists(target + TEMPSUFFIX)) ok = Rename(target + TEMPSUFFIX, target) && ok;
            }
            if (ok) SyncFolder(folder);
        }
        // A record without its end line was cut short before the commit: the
        // old files stand, and its temporaries go with the rest below.
        if (ok) ok = Unlink(mark);
    }
    // Only a folder brought back to one whole save is swept: while a
    // committed save is unfinished, its new files are still needed under
    // their temporary names, or the next start would finish the commit with
    // nothing left to rename and load half of it beside the old other half.
    if (ok)
        for (const std::string& name : DiskList(gamefolder))
            if (EndsWith(name, TEMPSUFFIX)) Unlink(folder + "/" + name);
    if (!ok) std::fprintf(stderr, "could not finish the last save in %s; it is kept to be finished later\n", folder.c_str());
    // What is put right here are the disk's own leftovers: where the files
    // are kept elsewhere (the browser), only whole files ever went there.
    return ok;
}

bool SaveableFolder(const std::string& gamefolder) {
    if (Alive()) ::mkdir(SystemPath(gamefolder).c_str(), 0755);
    const std::string folder = SystemPath(gamefolder);
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    const std::string probe = folder + "/probe" + TEMPSUFFIX;
    Unlink(probe);
    const int fd = refusetemps ? -1 : Create(probe, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::close(fd);
        Unlink(probe);
        return true;
    }
    // No new file can be made there; the files already in it can still be
    // saved in place when every one of them may be written.
    bool any = false;
    for (const std::string& name : DiskList(gamefolder)) {
        const std::string path = folder + "/" + name;
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) return false;
        any = true;
    }
    return any;
}
}  // namespace

bool CanSaveIn(const std::string& gamefolder) {
    const std::string folder = SystemPath(gamefolder);
    if (session::Playing()) return session::Answer(session::CANSAVE, folder, false);
    return session::Answer(session::CANSAVE, folder, SaveableFolder(gamefolder));
}

bool PathExists(const std::string& gamepath) {
    const std::string path = SystemPath(gamepath);
    if (session::Playing()) return session::Answer(session::EXISTS, path, false);
    return session::Answer(session::EXISTS, path, Exists(path));
}

bool MoveAside(const std::string& gamepath) {
    const std::string path = SystemPath(gamepath);
    if (session::Playing()) return session::Answer(session::MOVEASIDE, path, false);
    return session::Answer(session::MOVEASIDE, path, Alive() && ::rename(path.c_str(), (path + ".bad").c_str()) == 0);
}

void WriteNothing() { writenothing = true; }

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

bool UseDataFolder(const std::string& folder) {
    if (MakeFolders(folder) && ::chdir(folder.c_str()) == 0 && ::access(".", W_OK | X_OK) == 0) return true;
    NoDataFolder("cannot use the data folder " + folder + ": " + std::strerror(errno));
    return false;
}

void NoDataFolder(const std::string& why) {
    folderproblem = why;
    WriteNothing();
}

std::string DataFolderProblem() { return folderproblem; }

namespace disk {
void SetFolderProblem(const std::string& why) { folderproblem = why; }
}  // namespace disk

void MakeDir(const std::string& path) {
    // Played back, the folders are the replay's business: nothing is made.
    if (!session::Playing() && Alive()) ::mkdir(SystemPath(path).c_str(), 0755);
}

std::vector<std::string> ListDir(const std::string& gamepath) {
    const std::string path = SystemPath(gamepath);
    if (session::Playing()) return session::PlayList(path);
    std::vector<std::string> names = DiskList(path);
    session::NoteList(path, names);
    return names;
}

namespace disk {
void MakeDir(const std::string& path) {
    if (!writenothing) ::mkdir(SystemPath(path).c_str(), 0755);
}
std::vector<std::string> ListDir(const std::string& path) { return DiskList(path); }
void Remove(const std::string& path) {
    if (!writenothing) ::unlink(SystemPath(path).c_str());
}
int CreateLog(const std::string& path) {
    if (writenothing) return -1;
    return ::open(SystemPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
}
bool AppendLog(int fd, const uint8_t* p, size_t n) { return WriteAll(fd, p, n, false, false); }
void CloseLog(int fd) {
    if (fd >= 0) ::close(fd);
}
}  // namespace disk

void PrintLine(const std::string& text) {
    // A replay checked with no window says one line, its verdict.
    if (IsMachineless()) return;
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
