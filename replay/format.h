// The replay file's bytes: blocks that each carry their own checksum, and
// the small numbers and strings the records inside them are made of.
//
// A block is: its kind (one byte; the top bit set when the payload is
// deflated), the payload's stored length (a varint), the payload's length
// once inflated (a varint, deflated blocks only), the payload, and the
// CRC-32 of everything before it (4 bytes, little-endian). A file is its
// header block followed by record blocks; it is written a block at a time,
// so a session cut short leaves every block but the last whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace replayfile {

constexpr uint8_t HEADERBLOCK = 'H';
constexpr uint8_t RECORDBLOCK = 'R';
constexpr uint8_t DEFLATED = 0x80;
// No block of a real replay comes near this (a world map is half a
// megabyte); a larger one is damage, refused before anything is allocated.
constexpr size_t BLOCKLIMIT = 16u << 20;
// What a replay file may hold in all, read or inflated.
constexpr size_t FILELIMIT = 256u << 20;
// The header's first bytes.
constexpr char MAGIC[] = "QUILLMOOR REPLAY";
constexpr uint32_t FORMAT = 1;

// CRC-32 (the polynomial of zip and PNG files).
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// Appends small numbers, strings and bytes.
struct Out {
    std::vector<uint8_t> bytes;
    void U8(uint8_t v) { bytes.push_back(v); }
    void Var(uint64_t v);
    void U64(uint64_t v);
    void Str(const std::string& s);
    void Raw(const uint8_t* p, size_t n) { bytes.insert(bytes.end(), p, p + n); }
};

// Takes them back out. Anything that runs past the end, or a length larger
// than what is left, marks the reader bad and yields zeros.
struct In {
    const uint8_t* data = nullptr;
    size_t size = 0, at = 0;
    bool bad = false;
    bool AtEnd() const { return at >= size; }
    uint8_t U8();
    uint64_t Var();
    uint64_t U64();
    std::string Str();
    // A run of n bytes; false (and bad) when fewer are left.
    bool Raw(size_t n, const uint8_t*& p);
};

// A block of the kind around the payload, deflated when that is smaller.
void AppendBlock(std::vector<uint8_t>& file, uint8_t kind, const std::vector<uint8_t>& payload);

// The header block: the magic words, the format and the game's version.
void AppendHeader(std::vector<uint8_t>& file, const std::string& version);
// The file starts as a replay does: its kind, a length and the magic words.
bool LooksLikeReplay(const uint8_t* start, size_t size);

enum class Block { Whole, End, Cut, Damaged, TooLarge };
// Reads the block at `at` and moves past it: Whole with its kind and
// (inflated) payload; End at the end of the file; Cut when the file stops
// inside it; Damaged when its checksum or its deflated payload is wrong;
// TooLarge when it says it holds more than any block may.
Block NextBlock(const std::vector<uint8_t>& file, size_t& at, uint8_t& kind, std::vector<uint8_t>& payload);

}  // namespace replayfile
