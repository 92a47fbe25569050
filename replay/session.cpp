#include "replay/session.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>

#include "platform/backend.h"
#include "engine/keys.h"
#include "platform/platform.h"
#include "replay/format.h"

using replayfile::In;
using replayfile::Out;

namespace session {
namespace {

// What the records inside the blocks say, one tag byte each.
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
enum ReadKind : uint8_t { MISSING = 0, KNOWN = 1, BYTES = 2 };

// A checkpoint every ten seconds or so of play at 60 steps a second.
constexpr uint64_t CHECKEVERY = 600;
// Quiet passes are written in runs of at most this many, so that no run in
// a file can hold the game in one screen for long.
constexpr uint64_t QUIETRUN = 600;
// The record reaches the file about once a second: a session that is
// killed loses no more than that.
constexpr uint64_t FLUSHEVERY = 60;
// Passes in a row that take nothing from a replay before it is called
// stuck: the game waits for something the replay does not hold.
constexpr int STUCKPASSES = 200000;
constexpr int MAXEVENTS = 1024;
// Names of replays kept in the folder, newest last; older ones are removed.
constexpr size_t KEEP = 20;
const char* const REPLAYFOLDER = "replays";
const char* const SUFFIX = ".replay";

Mode mode = Mode::Off;
uint64_t steps = 0;
bool taken = false;  // this pass has taken its input
uint64_t (*digest)() = nullptr;
uint32_t events[MAXEVENTS];
int eventcount = 0;
// Files whose bytes the session knows: what it wrote, or read already.
// A read that finds the same bytes again is recorded as such, not copied.
std::map<std::string, std::vector<uint8_t>> known;

// ---------------------------------------------------------------- writing

int logfd = -1;
std::string logpath;
Out pending;
uint64_t run = 0;  // steps without input not yet written
// Passes since the last step or record that asked for keys, ran no step and
// had none. Keys taken in a pass without a step must reach that very pass
// when played back, not the first one that asks: a screen that waits for a
// key without update steps (the bonus screen) is entered in a pass that
// clears the keys, and would swallow them there.
uint64_t quiet = 0;
uint64_t flushedat = 0;
bool checkasked = false;
std::vector<uint8_t> blockbuf;

void WriteRun() {
    if (run == 0) return;
    pending.U8(STEPS);
    pending.Var(run);
    run = 0;
}

void Flush() {
    WriteRun();
    flushedat = steps;
    if (pending.bytes.empty() || logfd < 0) return;
    blockbuf.clear();
    replayfile::AppendBlock(blockbuf, replayfile::RECORDBLOCK, pending.bytes);
    pending.bytes.clear();
    if (!disk::AppendLog(logfd, blockbuf.data(), blockbuf.size())) {
        // A full disk ends the recording, never the game.
        std::fprintf(stderr, "the replay %s could not be written on; recording stops\n", logpath.c_str());
        disk::CloseLog(logfd);
        logfd = -1;
    }
}

// Starts a record of the given tag, after the steps before it (and, for
// keys taken in a pass without a step, the quiet passes before them).
void Begin(Tag tag) {
    WriteRun();
    for (; tag == PASSIN && quiet > 0; quiet -= std::min(quiet, QUIETRUN)) {
        pending.U8(QUIET);
        pending.Var(std::min(quiet, QUIETRUN));
    }
    quiet = 0;
    pending.U8(tag);
}

// The keys the game uses, so that an event of one of them takes one byte.
constexpr uint8_t SHORTKEYS[] = {0,  KEY_ENTER, KEY_ESCAPE, KEY_SPACE, KEY_LEFT, KEY_UP, KEY_RIGHT, KEY_DOWN,
                                 KEY_0, KEY_1, KEY_2, KEY_3, KEY_A, KEY_D, KEY_O, KEY_P, KEY_S, KEY_W, KEY_X, KEY_Z,
                                 KEY_BACKSPACE, KEY_TAB, KEY_SHIFT, KEY_CONTROL, KEY_ALT};
constexpr uint32_t OTHERKEY = 31;  // followed by the key's own code
// A tag byte with its top bit set is a STEPSPASS of one key, whose short
// code is the byte's other bits; the steps before it follow.
constexpr uint8_t ONEKEYPASS = 0x80;

// The event's one-byte code, or OTHERKEY's when its key is not one of those.
uint32_t ShortCode(uint32_t event) {
    const uint32_t key = event >> 2, kind = event & 3;
    for (uint32_t i = 0; i < sizeof SHORTKEYS; ++i)
        if (SHORTKEYS[i] == key) return i << 2 | kind;
    return OTHERKEY << 2 | kind;
}

void PutShort(Out& out, uint32_t event) {
    const uint32_t code = ShortCode(event);
    out.Var(code);
    if (code >> 2 == OTHERKEY) out.Var(event >> 2);
}

uint32_t GetShort(In& in) {
    const uint64_t v = in.Var();
    const uint64_t i = v >> 2, kind = v & 3;
    if (i == OTHERKEY) return (uint32_t)(in.Var() << 2 | kind);
    if (i >= sizeof SHORTKEYS) {
        in.bad = true;
        return 0;
    }
    return (uint32_t)SHORTKEYS[i] << 2 | (uint32_t)kind;
}

// The steps before it and a step's events in one record: most steps that
// take input take one key, so this is three bytes where it would be six.
void WriteStepEvents(Tag tag, int n) {
    quiet = 0;
    if (tag == STEPSPASS && n == 1 && ShortCode(events[0]) >> 2 != OTHERKEY) {
        // The commonest of all: one key of the game's, taken in a pass:
        // its short code in the tag byte itself.
        pending.U8((uint8_t)(ONEKEYPASS | ShortCode(events[0])));
        pending.Var(run);
        run = 0;
        return;
    }
    pending.U8(tag);
    pending.Var(run);
    run = 0;
    pending.Var((uint64_t)n);
    for (int i = 0; i < n; ++i) PutShort(pending, events[i]);
}

void WriteEvents(Tag tag, int n) {
    Begin(tag);
    pending.Var((uint64_t)n);
    for (int i = 0; i < n; ++i) pending.Var(events[i]);
}

// The machine's events, of which those that change what the game sees.
int TakeLive() {
    PumpEvents();
    uint32_t queued[MAXEVENTS];
    const int n = TakeMachineEvents(queued, MAXEVENTS);
    eventcount = 0;
    for (int i = 0; i < n; ++i)
        if (ApplyKeyEvent(queued[i])) events[eventcount++] = queued[i];
    return eventcount;
}

// ---------------------------------------------------------------- playing back

std::vector<uint8_t> records;  // every whole record block's payload, in order
In reader;
bool early = false;  // the file stops before the game's end
uint64_t checked = 0;
int idlepasses = 0;
bool fastforward = false;

struct Record {
    bool have = false;
    uint8_t tag = 0;
    uint64_t n = 0, step = 0, value = 0;
    std::string path;
    std::vector<uint32_t> events;
    std::vector<std::string> names;
    const uint8_t* bytes = nullptr;
    size_t size = 0;
} next;

// Decodes one record at the reader; false (reader bad) when it is not one.
bool Decode(In& in, Record& r) {
    r.tag = in.U8();
    r.events.clear();
    r.names.clear();
    if (r.tag & ONEKEYPASS) {
        const uint8_t c = (uint8_t)(r.tag & ~ONEKEYPASS);
        In one{&c, 1};
        r.events.push_back(GetShort(one));
        r.tag = STEPSPASS;
        r.n = in.Var();
        return !in.bad && !one.bad && r.n < CHECKEVERY;
    }
    switch (r.tag) {
    // A recording writes a checkpoint every CHECKEVERY steps, so no run of
    // steps is longer; a longer one could only make a replay run for ever.
    case STEPS: r.n = in.Var(); return !in.bad && r.n > 0 && r.n <= CHECKEVERY;
    case QUIET: r.n = in.Var(); return !in.bad && r.n > 0 && r.n <= QUIETRUN;
    case STEPSIN:
    case STEPSPASS: {
        r.n = in.Var();
        const uint64_t n = in.Var();
        if (in.bad || r.n >= CHECKEVERY || n == 0 || n > MAXEVENTS) return false;
        for (uint64_t i = 0; i < n && !in.bad; ++i) r.events.push_back(GetShort(in));
        return !in.bad;
    }
    case STEPIN:
    case PASSIN: {
        const uint64_t n = in.Var();
        if (in.bad || n == 0 || n > MAXEVENTS) return false;
        for (uint64_t i = 0; i < n; ++i) r.events.push_back((uint32_t)in.Var());
        return !in.bad;
    }
    case START:
        r.value = in.Var();
        r.path = in.Str();
        return !in.bad;
    case READ:
        r.path = in.Str();
        r.value = in.U8();
        if (r.value == BYTES) {
            r.size = (size_t)in.Var();
            if (!in.bad) in.Raw(r.size, r.bytes);
        }
        return !in.bad && r.value <= BYTES;
    case LIST: {
        r.path = in.Str();
        const uint64_t n = in.Var();
        for (uint64_t i = 0; i < n && !in.bad; ++i) r.names.push_back(in.Str());
        return !in.bad;
    }
    case ANSWER:
        r.n = in.U8();
        r.path = in.Str();
        r.value = in.U8();
        return !in.bad && r.value <= 1;
    case CHECK:
    case END:
        r.step = in.Var();
        r.value = in.U64();
        return !in.bad;
    default: return false;
    }
}

// Text quoted from a replay file (its version, a file's path) as it may be
// printed: a hostile file must not add lines to the verdict, nor send the
// terminal its own codes.
std::string Printable(const std::string& text) {
    static const char* const HEX = "0123456789abcdef";
    std::string out;
    for (unsigned char c : text.substr(0, 200)) {
        if (c >= 32 && c < 127 && c != '\\') {
            out += (char)c;
        } else {
            out += "\\x";
            out += HEX[c >> 4];
            out += HEX[c & 15];
        }
    }
    if (text.size() > 200) out += "...";
    return out;
}

[[noreturn]] void Finish(int code, const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    EndProgram(code);
}

[[noreturn]] void Differs(const std::string& what) {
    Finish(1, "replay differs at step " + std::to_string(steps) + ": " + what);
}

[[noreturn]] void EndsEarly() {
    if (mode == Mode::Watch) Finish(0, "replay ended at step " + std::to_string(steps) + ", early: it was cut short");
    Finish(0, "replay ok: " + std::to_string(steps) + " steps; it ends early (cut short after its last whole record), " +
                  std::to_string(checked) + " checkpoints matched");
}

// The next record, decoded; none once the file is used up.
Record& Peek() {
    if (!next.have && !reader.AtEnd()) {
        next.have = Decode(reader, next);
        idlepasses = 0;
    }
    return next;
}

void Consume() { next.have = false; }

const char* TagName(uint8_t tag) {
    switch (tag) {
    case STEPS:
    case STEPIN:
    case STEPSIN: return "an update step";
    case PASSIN:
    case QUIET:
    case STEPSPASS: return "keys";
    case START: return "the start";
    case READ: return "a file read";
    case LIST: return "a folder's list";
    case ANSWER: return "a file operation";
    case CHECK: return "a checkpoint";
    case END: return "the end";
    default: return "nothing";
    }
}

// The next record must be of this tag; anything else means the game has
// gone another way than it went when it was recorded.
Record& Expect(Tag tag, const std::string& path) {
    Record& r = Peek();
    if (!r.have) EndsEarly();
    if (r.tag != tag) Differs(std::string("the game asked for ") + TagName(tag) + " (" + Printable(path) + "), the replay holds " +
                              TagName(r.tag));
    if (tag != START && tag != STEPIN && r.path != path)
        Differs(std::string(TagName(tag)) + " of " + Printable(path) + ", the replay holds one of " + Printable(r.path));
    return r;
}

void Deliver(const std::vector<uint32_t>& evs) {
    for (uint32_t e : evs) ApplyKeyEvent(e);
}

// The machine's own keys while a replay plays in the window: Space runs it
// fast, closing the window ends it.
void WatchMachine() {
    if (mode != Mode::Watch) return;
    PumpEvents();
    uint32_t queued[MAXEVENTS];
    const int n = TakeMachineEvents(queued, MAXEVENTS);
    for (int i = 0; i < n; ++i) {
        const uint32_t e = queued[i];
        if ((e & 3) == KEYEVENT_DOWN && (e >> 2) == KEY_SPACE) fastforward = !fastforward;
        if ((e & 3) == KEYEVENT_CLOSE) Finish(0, "replay closed at step " + std::to_string(steps));
    }
}

void Check(const Record& r) {
    const uint64_t now = digest ? digest() : 0;
    if (r.step != steps)
        Differs("a checkpoint was taken after step " + std::to_string(r.step));
    if (now != r.value) Differs("the game's state is not what it was");
    ++checked;
}

std::string Stamp() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char s[32];
    std::strftime(s, sizeof s, "%Y-%m-%d_%H-%M-%S", &tm);
    return s;
}

bool EndsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}
}  // namespace

Mode CurrentMode() { return mode; }
uint64_t Steps() { return steps; }
const std::string& RecordingPath() { return logpath; }

bool StartRecording(const std::string& version) {
    disk::MakeDir(REPLAYFOLDER);
    std::vector<std::string> old;
    for (const std::string& name : disk::ListDir(REPLAYFOLDER))
        if (EndsWith(name, SUFFIX)) old.push_back(name);
    // The names sort as their dates do.
    std::sort(old.begin(), old.end());
    for (size_t i = 0; i + KEEP <= old.size(); ++i) disk::Remove(std::string(REPLAYFOLDER) + "/" + old[i]);
    const std::string stamp = Stamp();
    for (int k = 1; k < 100 && logfd < 0; ++k) {
        logpath = std::string(REPLAYFOLDER) + "/" + stamp + (k > 1 ? "-" + std::to_string(k) : "") + SUFFIX;
        logfd = disk::CreateLog(logpath);
    }
    if (logfd < 0) {
        std::fprintf(stderr, "no replay is recorded: %s cannot be written in\n", REPLAYFOLDER);
        logpath.clear();
        return false;
    }
    Out head;
    head.Raw((const uint8_t*)replayfile::MAGIC, sizeof replayfile::MAGIC - 1);
    head.Var(replayfile::FORMAT);
    head.Str(version);
    blockbuf.clear();
    replayfile::AppendBlock(blockbuf, replayfile::HEADERBLOCK, head.bytes);
    disk::AppendLog(logfd, blockbuf.data(), blockbuf.size());
    mode = Mode::Record;
    pending.bytes.reserve(1 << 16);
    return true;
}

bool LoadReplay(const std::vector<uint8_t>& file, Mode playmode, const std::string& ours, std::string& why) {
    Reset();
    size_t at = 0;
    uint8_t kind = 0;
    std::vector<uint8_t> payload;
    const uint8_t* magic = (const uint8_t*)replayfile::MAGIC;
    const size_t magiclen = sizeof replayfile::MAGIC - 1;
    // A header block starts with its kind, a length and the magic words.
    if (file.size() < magiclen + 2 || file[0] != replayfile::HEADERBLOCK ||
        !std::equal(magic, magic + magiclen, file.begin() + 2)) {
        why = "not a replay";
        return false;
    }
    if (replayfile::NextBlock(file, at, kind, payload) != replayfile::Block::Whole) {
        why = "the replay is damaged: its header fails its checksum";
        return false;
    }
    In head{payload.data(), payload.size()};
    const uint8_t* skip = nullptr;
    head.Raw(magiclen, skip);
    const uint64_t format = head.Var();
    const std::string version = head.Str();
    if (head.bad || format != replayfile::FORMAT || version != ours) {
        why = "the replay was recorded by another version (" + (head.bad ? std::string("unknown") : Printable(version)) +
              "; this is " + ours + ")";
        return false;
    }
    bool cut = false;
    for (;;) {
        const size_t start = at;
        const replayfile::Block b = replayfile::NextBlock(file, at, kind, payload);
        if (b == replayfile::Block::End) break;
        if (b == replayfile::Block::Cut) {
            cut = true;
            break;
        }
        if (b == replayfile::Block::Damaged || kind != replayfile::RECORDBLOCK ||
            records.size() + payload.size() > replayfile::FILELIMIT) {
            why = "the replay is damaged: the block at byte " + std::to_string(start) + " fails its checksum";
            Reset();
            return false;
        }
        records.insert(records.end(), payload.begin(), payload.end());
    }
    // Every record is read once now, so a damaged one is refused before the
    // game starts rather than met half way.
    In scan{records.data(), records.size()};
    Record r;
    bool anycheck = false, ended = false;
    uint64_t sincecheck = 0;
    while (!scan.AtEnd()) {
        const bool decoded = Decode(scan, r);
        if (r.tag == STEPS) sincecheck += r.n;
        if (r.tag == STEPIN) ++sincecheck;
        if (r.tag == STEPSIN) sincecheck += r.n + 1;
        if (r.tag == STEPSPASS) sincecheck += r.n;
        if (r.tag == CHECK) sincecheck = 0;
        if (!decoded || sincecheck > CHECKEVERY) {
            why = "the replay is damaged: a record at byte " + std::to_string(scan.at) + " is not one of ours";
            Reset();
            return false;
        }
        anycheck = anycheck || r.tag == CHECK || r.tag == END;
        ended = r.tag == END;
    }
    if (!anycheck) {
        why = "the replay was cut short before its first checkpoint";
        Reset();
        return false;
    }
    early = cut || !ended;
    reader = In{records.data(), records.size()};
    mode = playmode;
    return true;
}

void Reset() {
    if (logfd >= 0) disk::CloseLog(logfd);
    logfd = -1;
    logpath.clear();
    mode = Mode::Off;
    steps = 0;
    taken = false;
    run = 0;
    quiet = 0;
    flushedat = 0;
    checkasked = false;
    pending.bytes.clear();
    known.clear();
    records.clear();
    reader = In{};
    next = Record{};
    early = false;
    checked = 0;
    idlepasses = 0;
    fastforward = false;
    eventcount = 0;
    Machineless(false);
}

void TakeQueryInput() {
    if (taken) {
        WatchMachine();
        return;
    }
    taken = true;
    switch (mode) {
    case Mode::Off: TakeLive(); return;
    case Mode::Record:
        if (TakeLive() == 0)
            ++quiet;
        else if (quiet == 0)
            WriteStepEvents(STEPSPASS, eventcount);
        else
            WriteEvents(PASSIN, eventcount);
        return;
    default: {
        WatchMachine();
        Record& r = Peek();
        if (!r.have) EndsEarly();
        if (r.tag == PASSIN || (r.tag == STEPSPASS && r.n == 0)) {
            Deliver(r.events);
            Consume();
        } else if (r.tag == QUIET) {
            // A pass that had no keys when it was recorded.
            idlepasses = 0;
            if (--r.n == 0) Consume();
        }
    }
    }
}

bool Unseen() {
    // Fast forward: one frame in eight reaches the display, so the waits
    // for it do not hold the replay to the display's own speed.
    static unsigned passes = 0;
    return mode == Mode::Watch && fastforward && ++passes % 8 != 0;
}

void PassEnded() {
    taken = false;
    if (mode == Mode::Verify && ++idlepasses > STUCKPASSES)
        Differs(std::string("the game waits for what the replay does not give; it holds ") + TagName(Peek().tag));
}

bool Answer(Op op, const std::string& path, bool value) {
    if (mode == Mode::Record) {
        Begin(ANSWER);
        pending.U8(op);
        pending.Str(path);
        pending.U8(value ? 1 : 0);
        return value;
    }
    if (!Playing()) return value;
    Record& r = Expect(ANSWER, path);
    if (r.n != op) Differs("another file operation on " + Printable(path));
    const bool v = r.value != 0;
    Consume();
    return v;
}

void NoteRead(const std::string& path, const std::vector<uint8_t>* data) {
    if (mode != Mode::Record) return;
    Begin(READ);
    pending.Str(path);
    if (!data) {
        pending.U8(MISSING);
        return;
    }
    auto k = known.find(path);
    if (k != known.end() && k->second == *data) {
        pending.U8(KNOWN);
        return;
    }
    pending.U8(BYTES);
    pending.Var(data->size());
    pending.Raw(data->data(), data->size());
    known[path] = *data;
    // A file's bytes go in a block of their own, deflated.
    Flush();
}

bool PlayRead(const std::string& path, std::vector<uint8_t>& data) {
    Record& r = Expect(READ, path);
    bool found = true;
    if (r.value == MISSING) {
        found = false;
    } else if (r.value == KNOWN) {
        auto k = known.find(path);
        if (k == known.end()) Differs("the replay reads " + Printable(path) + " as known, but it is not");
        data = k->second;
    } else {
        data.assign(r.bytes, r.bytes + r.size);
        known[path] = data;
    }
    Consume();
    return found;
}

void NoteList(const std::string& path, const std::vector<std::string>& names) {
    if (mode != Mode::Record) return;
    Begin(LIST);
    pending.Str(path);
    pending.Var(names.size());
    for (const std::string& n : names) pending.Str(n);
}

std::vector<std::string> PlayList(const std::string& path) {
    Record& r = Expect(LIST, path);
    std::vector<std::string> names = r.names;
    Consume();
    return names;
}

void Wrote(const std::string& path, const std::vector<uint8_t>& data, bool ok) {
    if (mode == Mode::Off) return;
    if (ok)
        known[path] = data;
    else
        known.erase(path);
}

void RequestCheckpoint() { checkasked = true; }

}  // namespace session

using namespace session;

bool GrantStep(bool due) {
    switch (mode) {
    case Mode::Off:
        if (!due) return false;
        ++steps;
        if (!taken) TakeLive();
        taken = true;
        return true;
    case Mode::Record:
        if (!due) return false;
        if ((steps > 0 && steps % CHECKEVERY == 0) || checkasked) {
            Begin(CHECK);
            pending.Var(steps);
            pending.U64(digest ? digest() : 0);
            checkasked = false;
            Flush();
        }
        ++steps;
        quiet = 0;
        if (!taken && TakeLive() > 0) {
            WriteStepEvents(STEPSIN, eventcount);
        } else {
            ++run;
        }
        taken = true;
        if (steps - flushedat >= FLUSHEVERY) Flush();
        return true;
    default: break;
    }
    WatchMachine();
    Record* r = &Peek();
    if (r->have && r->tag == CHECK) {
        Check(*r);
        Consume();
        r = &Peek();
    }
    if (!r->have) EndsEarly();
    if (r->tag != STEPS && r->tag != STEPIN && r->tag != STEPSIN && !(r->tag == STEPSPASS && r->n > 0)) return false;
    if (mode == Mode::Watch && !fastforward && !due) return false;
    ++steps;
    if (r->tag == STEPIN || (r->tag == STEPSIN && r->n == 0)) {
        Deliver(r->events);
        Consume();
    } else if (--r->n == 0 && r->tag == STEPS) {
        Consume();
    }
    taken = true;
    return true;
}

int32_t SessionSeed() {
    if (Playing()) {
        Record& r = Expect(START, "");
        disk::SetFolderProblem(r.path);
        const int32_t seed = (int32_t)(uint32_t)r.value;
        Consume();
        return seed;
    }
    const int32_t seed = ClockMs();
    if (mode == Mode::Record) {
        Begin(START);
        pending.Var((uint32_t)seed);
        pending.Str(DataFolderProblem());
    }
    return seed;
}

void SetStateDigest(uint64_t (*fn)()) { digest = fn; }

void RecordSession(const std::string& version) { StartRecording(version); }

bool PlayBack(const std::string& path, bool window, const std::string& version, std::string& why) {
    // Read as any other untrusted file: whole, regular files only, bounded.
    std::unique_ptr<TStream> f = OpenRead(path);
    if (!f) {
        why = "cannot be read: there is no such file, or it is not a file";
        return false;
    }
    std::vector<uint8_t> bytes(f->Size());
    f->ReadBytes(bytes.data(), bytes.size());
    if (!LoadReplay(bytes, window ? Mode::Watch : Mode::Verify, version, why)) return false;
    Machineless(!window);
    return true;
}

void EndSession() {
    const uint64_t now = digest ? digest() : 0;
    if (mode == Mode::Record) {
        Begin(END);
        pending.Var(steps);
        pending.U64(now);
        Flush();
        disk::CloseLog(logfd);
        logfd = -1;
        mode = Mode::Off;
        return;
    }
    if (!Playing()) return;
    Record& r = Peek();
    if (!r.have) EndsEarly();
    if (r.tag != END) Differs(std::string("the game ended; the replay holds ") + TagName(r.tag));
    if (r.step != steps) Differs("the game ended after " + std::to_string(steps) + " steps, not " + std::to_string(r.step));
    if (r.value != now) Differs("the game's state at its end is not what it was");
    ++checked;
    Finish(0, (mode == Mode::Watch ? "replay ended: " : "replay ok: ") + std::to_string(steps) + " steps");
}
