// Byte streams: a file read whole into memory, or written whole at its
// close. Every file the game reads may be short, long, nonsense or not a
// file at all, so a read takes only regular files, holds the whole file in
// memory, and a read past its end yields 0 and marks the stream failed
// instead of running off. Every file the game writes goes to a temporary
// name beside it, is synced to the disk and only then renamed over the old
// one: a crash, a kill or a full disk mid-save leaves the old file.
#include <cerrno>
#include <cstring>

#include "platform/files/filelayer.h"
#include "platform/machine.h"

using namespace filelayer;

namespace {
// No file of the game comes near this; anything larger is damaged anyway,
// and reading a little past the limit is enough to see that.
constexpr size_t READLIMIT = 64u << 20;
}  // namespace

std::unique_ptr<TStream> FileLayer::ReadFile(const std::string& path) {
    std::unique_ptr<TStream> s(new TStream);
    if (!disk::ReadWhole(path, s->data, READLIMIT)) return nullptr;
    s->path = path;
    return s;
}

std::unique_ptr<TStream> OpenMemory(const uint8_t* bytes, size_t size) {
    std::unique_ptr<TStream> s(new TStream);
    if (size) s->data.assign(bytes, bytes + size);
    return s;
}

std::unique_ptr<TStream> StreamAccess::Reading(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::unique_ptr<TStream> s(new TStream);
    s->path = path;
    s->data = bytes;
    return s;
}

std::unique_ptr<TStream> StreamAccess::Writing(const std::string& path) {
    std::unique_ptr<TStream> s(new TStream);
    s->path = path;
    s->writing = true;
    return s;
}

std::unique_ptr<TStream> FileLayer::WriteFile(const std::string& path) {
    const std::string target = ResolveLinks(path);
    const disk::Found found = disk::Look(target);
    const bool exists = found.exists;
    unsigned mode = 0644;
    if (exists) {
        if (!found.regular) {
            Complain(path, "it is not a regular file");
            return nullptr;
        }
        // A file the player made read-only stays as it is, even where the
        // system would let this user write it.
        if (found.readonly) {
            Complain(path, "it is read-only");
            return nullptr;
        }
        mode = found.mode;
    }
    // A name the system keeps for a device is never written as a file.
    if (disk::Forbidden(target.substr(target.rfind('/') + 1))) {
        Complain(path, "the system keeps that name for a device");
        return nullptr;
    }
    std::unique_ptr<TStream> s(new TStream);
    s->place.reset(new TStream::Place);
    TStream::Place& at = *s->place;
    s->path = path;
    at.target = target;
    at.temp = target + TEMPSUFFIX;
    s->writing = true;
    s->data.reserve(4096);
    // Whatever was left under the temporary name goes first, so the new one
    // is made afresh and never written through a link.
    Unlink(at.temp);
    disk::File file = Create(at.temp, disk::Make::NEW, mode, DiskChange::TEMPORARY);
    if (file != disk::NOFILE) {
        if (exists) disk::SetMode(file, mode);  // the new file keeps the old one's permissions
    } else if (exists && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        // No temporary may be made beside the file, but the file itself may
        // be written: it is written over in place, synced, as the one way
        // left to save it.
        file = OpenOver(target);
        at.inplace = file != disk::NOFILE;
    }
    if (file == disk::NOFILE) {
        Complain(path, disk::Why(errno));
        return nullptr;
    }
    at.file = file;
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

bool FileLayer::Flush(TStream& s) {
    TStream::Place& at = *s.place;
    const std::string& file = at.inplace ? at.target : at.temp;
    bool ok = WriteAll(at.file, file, s.data.data(), s.data.size(), at.inplace) && Sync(at.file, file);
    ok = disk::Close(at.file) && ok;
    at.file = disk::NOFILE;
    return ok;
}

bool FileLayer::Replace(TStream& s) { return s.place->inplace || Rename(s.place->temp, s.place->target); }

void FileLayer::Fail(TStream& s) {
    const int err = errno;
    TStream::Place& at = *s.place;
    if (at.file != disk::NOFILE) disk::Close(at.file);
    at.file = disk::NOFILE;
    if (!at.inplace) Unlink(at.temp);
    Complain(s.path, disk::Why(err));
    s.failed = true;
}

bool FileLayer::Close(TStream& s) {
    s.closed = true;
    if (Flush(s) && Replace(s)) {
        if (KeepFiles({s.place->target})) return true;
        Complain(s.path, "it could not be kept");
    } else {
        Fail(s);
    }
    s.failed = true;
    return false;
}

void FileLayer::Abandon(TStream& s) {
    disk::Close(s.place->file);
    if (!s.place->inplace) Unlink(s.place->temp);
}

bool TStream::Close() {
    if (closed) return !failed;
    if (!writing) {
        closed = true;
        return true;
    }
    // The machine that opened it finishes it.
    return MachineInUse().CloseWrite(*this);
}

TStream::~TStream() {
    // A write never closed was abandoned half way (the program is ending in
    // the middle of a save): the old file stays as it was.
    if (writing && !closed && place) FileLayer::Abandon(*this);
}

