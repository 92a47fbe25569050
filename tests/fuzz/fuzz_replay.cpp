// A replay file as a damaged disk, a careless mail program or a hostile
// bug report might hand it over, checked as --verify checks it: it is
// refused with one line, changing nothing, or it is played back through the
// whole game (start-up, the title, worlds made and loaded from the bytes it
// carries, areas, saves answered from it) until it ends, differs, or runs out
// of frames. Either way nothing reaches the disk, and a game that ends says
// one verdict last.
//
// Blocks carry checksums, so bytes changed at random are almost always
// refused at the first block touched. Most mutations therefore work on
// what the blocks hold: one block's records are changed, or whole blocks
// are dropped, repeated or cut, and the blocks are written again with their
// checksums as the game writes them, under the header of this version. The
// rest change the file's bytes as they are, to reach the checksums, the
// lengths and the deflated streams themselves.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "areas/areas.h"
#include "areas/enemy.h"
#include "areas/npc.h"
#include "creatures/creatures.h"
#include "fuzz_common.h"
#include "overworld/overworld.h"
#include "platform/headless/headless.h"
#include "replay/format.h"
#include "replay/replay.h"
#include "base/base.h"
#include "shell/shell.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxsize);

namespace {
const char* const VERSION = QUILLMOOR_VERSION;
// Enough for a short session to reach its end (the seeds run about 800
// frames), few enough that a replay that never ends costs a moment.
constexpr int FLIPS = 3000;

std::vector<std::string> scratchbefore;
int capturefd = -1;

// Everything in the scratch folder, below it too.
std::vector<std::string> ScratchTree() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator("."))
        names.push_back(e.path().string() + (e.is_directory() ? "/" : ""));
    std::sort(names.begin(), names.end());
    return names;
}


// A line a terminal shows as it is: whatever of the file's own text it
// quotes can neither break it nor steer the terminal.
bool OneLine(const std::string& s) {
    return !s.empty() && std::none_of(s.begin(), s.end(), [](char c) { return (unsigned char)c < 0x20 || c == 0x7f; });
}

// What the game printed while the last input ran.
std::string TakePrinted() {
    std::fflush(stdout);
    std::string text;
    char buf[4096];
    ssize_t n;
    for (off_t at = 0; (n = ::pread(capturefd, buf, sizeof buf, at)) > 0; at += n) text.append(buf, (size_t)n);
    if (::ftruncate(capturefd, 0) != 0 || ::lseek(capturefd, 0, SEEK_SET) != 0) std::abort();
    return text;
}

struct Block {
    uint8_t kind;
    std::vector<uint8_t> payload;
};

// The header's words as this version writes them.
std::vector<uint8_t> Header() {
    replayfile::Out head;
    head.Raw((const uint8_t*)replayfile::MAGIC, sizeof replayfile::MAGIC - 1);
    head.Var(replayfile::FORMAT);
    head.Str(VERSION);
    return head.bytes;
}

// libFuzzer's own changes to the bytes, with room to grow.
void ChangeBytes(std::vector<uint8_t>& bytes) {
    const size_t had = bytes.size();
    bytes.resize(had + 64 + had / 4);
    bytes.resize(LLVMFuzzerMutate(bytes.data(), had, bytes.size()));
}

// Changes the stored bytes of one deflated block of the file and writes its
// head and checksum again, keeping the length it claims once inflated;
// false when no block is deflated.
bool ChangeDeflated(std::vector<uint8_t>& file, std::minstd_rand& dice) {
    struct Place {
        size_t start, body, end;  // the block, its stored bytes, its checksum
        uint8_t kind;
        uint64_t raw;
    };
    std::vector<Place> deflated;
    replayfile::In in{file.data(), file.size()};
    while (!in.AtEnd()) {
        const size_t start = in.at;
        const uint8_t kind = in.U8();
        const uint64_t stored = in.Var();
        const uint64_t raw = kind & replayfile::DEFLATED ? in.Var() : stored;
        const size_t body = in.at;
        const uint8_t* skip = nullptr;
        if (in.bad || !in.Raw((size_t)stored, skip) || !in.Raw(4, skip)) break;
        if (kind & replayfile::DEFLATED) deflated.push_back({start, body, in.at - 4, kind, raw});
    }
    if (deflated.empty()) return false;
    const Place p = deflated[dice() % deflated.size()];
    std::vector<uint8_t> body(file.begin() + (long)p.body, file.begin() + (long)p.end);
    ChangeBytes(body);
    replayfile::Out block;
    block.U8(p.kind);
    block.Var(body.size());
    block.Var(p.raw);
    block.Raw(body.data(), body.size());
    const uint32_t crc = replayfile::Crc32(block.bytes.data(), block.bytes.size());
    for (int i = 0; i < 4; ++i) block.U8((uint8_t)(crc >> (8 * i)));
    std::vector<uint8_t> out(file.begin(), file.begin() + (long)p.start);
    out.insert(out.end(), block.bytes.begin(), block.bytes.end());
    out.insert(out.end(), file.begin() + (long)p.end + 4, file.end());
    file.swap(out);
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnterScratchFolder();
    scratchbefore = ScratchTree();
    // The verdicts go to a file of no name, read back after each input.
    std::FILE* capture = std::tmpfile();
    if (!capture) std::abort();
    capturefd = ::dup(fileno(capture));
    std::fflush(stdout);
    if (capturefd < 0 || ::dup2(capturefd, STDOUT_FILENO) < 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The last replay first: the test machine's reset clears the keys,
    // which a replay still loaded would answer.
    replay::Stop();
    headless::Reset();
    FreshGame();
    TakePrinted();
    const std::vector<uint8_t> file(data, data + size);
    std::string why;
    if (!replay::Play(file, false, VERSION, why)) {
        FUZZ_CHECK(OneLine(why));
        FUZZ_CHECK(!replay::Playing());
        return 0;
    }
    FUZZ_CHECK(replay::Playing());
    headless::SetFlipLimit(FLIPS);
    int code = -1;
    try {
        RunGame();
        FUZZ_CHECK(!"the game returned while a replay played");
    } catch (const headless::ProgramEnded& end) {
        code = end.code;
    } catch (const headless::FlipLimitReached&) {
    }
    const std::string printed = TakePrinted();
    if (code >= 0) {
        // The verdict is the last line: ok with 0, or where it differs with 1.
        FUZZ_CHECK(!printed.empty() && printed.back() == '\n');
        const size_t start = printed.rfind('\n', printed.size() - 2);
        const std::string verdict = printed.substr(start == std::string::npos ? 0 : start + 1);
        FUZZ_CHECK(OneLine(verdict.substr(0, verdict.size() - 1)));
        FUZZ_CHECK((code == 0 && verdict.rfind("replay ok: ", 0) == 0) ||
                   (code == 1 && verdict.rfind("replay differs at step ", 0) == 0));
    }
    // Played back, the game reads and writes nothing of the disk's.
    FUZZ_CHECK(ScratchTree() == scratchbefore);
    return 0;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxsize, unsigned int seed) {
    std::minstd_rand dice(seed);
    const std::vector<uint8_t> file(data, data + size);
    // The whole blocks, the header first; whatever follows them is let go.
    std::vector<Block> blocks;
    size_t at = 0;
    Block b;
    while (replayfile::NextBlock(file, at, b.kind, b.payload) == replayfile::Block::Whole) blocks.push_back(b);
    const unsigned how = dice() % 10;
    if (blocks.size() < 2 || how == 0) return LLVMFuzzerMutate(data, size, maxsize);
    if (how == 1) {
        // The header's words: another format, another version, odd lengths.
        ChangeBytes(blocks[0].payload);
    } else {
        blocks[0].payload = Header();
        const size_t pick = 1 + dice() % (blocks.size() - 1);
        switch (how) {
        case 2: blocks.erase(blocks.begin() + (long)pick); break;
        case 3: blocks.insert(blocks.begin() + (long)pick, blocks[pick]); break;
        case 8:
        case 9: break;
        default: ChangeBytes(blocks[pick].payload); break;
        }
    }
    std::vector<uint8_t> out;
    for (const Block& k : blocks) replayfile::AppendBlock(out, k.kind, k.payload);
    // Cut short, as a session that was killed leaves it.
    if (how == 8) out.resize(out.size() - dice() % std::min<size_t>(out.size(), 64));
    // A deflated stream changed under a checksum that still matches it.
    if (how == 9 && !ChangeDeflated(out, dice)) return LLVMFuzzerMutate(data, size, maxsize);
    if (out.size() > maxsize) return LLVMFuzzerMutate(data, size, maxsize);
    std::memcpy(data, out.data(), out.size());
    return out.size();
}
