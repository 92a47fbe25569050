// What the records inside a replay's blocks say: a tag byte each, then its
// numbers, strings and bytes (format.h). A session is written as these
// records in the order things crossed from the machine into the game.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "replay/format.h"

namespace replayfile {

enum Tag : uint8_t {
    STEPS = 1,   // n update steps that took no input
    STEPIN = 2,  // one update step, with the events it took
    PASSIN = 3,  // the events taken in a pass that ran no step
    START = 4,   // the seed, and why the data folder could not be used (or nothing)
    READ = 5,    // a file read: missing, as last known, or its bytes
    LIST = 6,    // a folder's names, in the order the system gave them
    ANSWER = 7,  // a file operation's yes or no
    CHECK = 8,   // a digest of the game's state before the step after `step`
    END = 9,     // the game ended after `step` steps, in the state of `digest`
    QUIET = 10,  // n passes without a step that asked for keys and had none, before a PASSIN
    STEPSIN = 11,  // n update steps that took no input, then one with the events it took (short codes)
    STEPSPASS = 12,  // n update steps that took no input, then the events taken in the next pass without one
};
// A tag byte with its top bit set is a STEPSPASS of one key, whose short
// code is the byte's other bits; the steps before it follow.
constexpr uint8_t ONEKEYPASS = 0x80;
enum ReadKind : uint8_t { MISSING = 0, KNOWN = 1, BYTES = 2 };
// The file operations whose answers are recorded.
enum Op : uint8_t { OPENWRITE = 1, CLOSE, CLOSETOGETHER, RECOVER, CANSAVE, EXISTS, MOVEASIDE };

// A checkpoint every ten seconds or so of play at 60 steps a second.
constexpr uint64_t CHECKEVERY = 600;
// Quiet passes are written in runs of at most this many, so that no run in
// a file can hold the game in one screen for long.
constexpr uint64_t QUIETRUN = 600;
// The most events one record holds.
constexpr uint64_t MOSTEVENTS = 1024;

// An event of one of the keys the game uses takes one byte (its short
// code); another key's is the short code OTHERKEY followed by its own.
constexpr uint32_t OTHERKEY = 31;
uint32_t ShortCode(uint32_t event);
void PutShort(Out& out, uint32_t event);
uint32_t GetShort(In& in);

// One record, as read.
struct Record {
    bool have = false;
    uint8_t tag = 0;
    uint64_t n = 0, step = 0, value = 0;
    std::string path;
    std::vector<uint32_t> events;
    std::vector<std::string> names;
    const uint8_t* bytes = nullptr;
    size_t size = 0;
};
// Files whose bytes a session knows: what it wrote, or read already. A
// read that finds the same bytes again is recorded as such, not copied.
struct KnownFiles {
    std::map<std::string, std::vector<uint8_t>> bytes;
    // What a save left in a file (ok), or that the file is no longer known.
    void Wrote(const std::string& path, const std::vector<uint8_t>& data, bool ok) {
        if (ok)
            bytes[path] = data;
        else
            bytes.erase(path);
    }
};

// Decodes one record at the reader; false (reader bad) when it is not one.
bool Decode(In& in, Record& r);
// What a record is, in words, for the line that says where a replay and the
// game went apart.
const char* TagName(uint8_t tag);
// The update steps a record runs.
uint64_t StepsIn(const Record& r);

}  // namespace replayfile
