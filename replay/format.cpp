#include "replay/format.h"

#include <algorithm>

#include "platform/codec.h"

namespace replayfile {

namespace {
struct CrcTable {
    uint32_t t[256];
    CrcTable() {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
    }
};
const CrcTable crctable;

void PutU32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back((uint8_t)(v >> (8 * i)));
}
}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = crctable.t[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Out::Var(uint64_t v) {
    while (v >= 0x80) {
        bytes.push_back((uint8_t)(v | 0x80));
        v >>= 7;
    }
    bytes.push_back((uint8_t)v);
}

void Out::U64(uint64_t v) {
    for (int i = 0; i < 8; ++i) bytes.push_back((uint8_t)(v >> (8 * i)));
}

void Out::Str(const std::string& s) {
    Var(s.size());
    Raw((const uint8_t*)s.data(), s.size());
}

uint8_t In::U8() {
    if (at >= size) {
        bad = true;
        return 0;
    }
    return data[at++];
}

uint64_t In::Var() {
    uint64_t v = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const uint8_t b = U8();
        v |= (uint64_t)(b & 0x7F) << shift;
        if (!(b & 0x80)) return v;
    }
    bad = true;  // more than ten bytes: no number of ours
    return 0;
}

uint64_t In::U64() {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= (uint64_t)U8() << (8 * i);
    return v;
}

bool In::Raw(size_t n, const uint8_t*& p) {
    if (n > size - at || at > size) {
        bad = true;
        at = size;
        return false;
    }
    p = data + at;
    at += n;
    return true;
}

std::string In::Str() {
    const uint64_t n = Var();
    const uint8_t* p = nullptr;
    if (bad || !Raw((size_t)std::min<uint64_t>(n, SIZE_MAX), p)) return std::string();
    return std::string((const char*)p, (size_t)n);
}

void AppendHeader(std::vector<uint8_t>& file, const std::string& version) {
    Out head;
    head.bytes.reserve(64);
    head.Raw((const uint8_t*)MAGIC, sizeof MAGIC - 1);
    head.Var(FORMAT);
    head.Str(version);
    AppendBlock(file, HEADERBLOCK, head.bytes);
}

bool LooksLikeReplay(const uint8_t* start, size_t size) {
    const size_t magiclen = sizeof MAGIC - 1;
    return size >= magiclen + 2 && start[0] == HEADERBLOCK && std::equal(start + 2, start + 2 + magiclen, (const uint8_t*)MAGIC);
}

void AppendBlock(std::vector<uint8_t>& file, uint8_t kind, const std::vector<uint8_t>& payload) {
    const size_t start = file.size();
    std::vector<uint8_t> packed;
    // Small blocks (a second of keys) gain nothing from deflating.
    const bool deflate = payload.size() >= 128 && Deflate(payload.data(), payload.size(), packed) &&
                         packed.size() + 4 < payload.size();
    Out head;
    head.U8(deflate ? (uint8_t)(kind | DEFLATED) : kind);
    head.Var(deflate ? packed.size() : payload.size());
    if (deflate) head.Var(payload.size());
    file.insert(file.end(), head.bytes.begin(), head.bytes.end());
    const std::vector<uint8_t>& body = deflate ? packed : payload;
    file.insert(file.end(), body.begin(), body.end());
    PutU32(file, Crc32(file.data() + start, file.size() - start));
}

Block NextBlock(const std::vector<uint8_t>& file, size_t& at, uint8_t& kind, std::vector<uint8_t>& payload) {
    if (at >= file.size()) return Block::End;
    In in{file.data(), file.size(), at};
    const uint8_t k = in.U8();
    const uint64_t stored = in.Var();
    const uint64_t raw = k & DEFLATED ? in.Var() : stored;
    if (in.bad) return Block::Cut;
    if (stored > BLOCKLIMIT || raw > BLOCKLIMIT) return Block::TooLarge;
    if (in.size - in.at < stored + 4) return Block::Cut;
    const uint8_t* body = file.data() + in.at;
    const size_t end = in.at + (size_t)stored;
    const uint32_t want = (uint32_t)file[end] | (uint32_t)file[end + 1] << 8 | (uint32_t)file[end + 2] << 16 |
                          (uint32_t)file[end + 3] << 24;
    if (Crc32(file.data() + at, end - at) != want) return Block::Damaged;
    payload.clear();
    if (k & DEFLATED) {
        if (!Inflate(body, (size_t)stored, (size_t)raw, payload) || payload.size() != raw) return Block::Damaged;
    } else {
        payload.assign(body, body + stored);
    }
    kind = (uint8_t)(k & ~DEFLATED);
    at = end + 4;
    return Block::Whole;
}

}  // namespace replayfile
