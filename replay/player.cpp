#include "replay/player.h"

#include <cstdlib>

using namespace replayfile;

namespace replay {

namespace {
// Passes in a row that take nothing from a replay before it is called
// stuck: the game waits for something the replay does not hold.
constexpr int STUCKPASSES = 200000;
// How often a check with no window says how far it has got (and gives the
// machine a moment): in passes, which a replay cannot make fewer of.
constexpr uint64_t PROGRESSEVERY = 1024;
}  // namespace

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

Player::Player(Machine& behind, bool window, std::vector<uint8_t> bytes, bool early, uint64_t total)
    : Relay(behind), window(window), records(std::move(bytes)), early(early), total(total) {
    reader = In{records.data(), records.size()};
    if (!window) inner.Progress(0, total);
}

void Player::Finish(int code, const std::string& line) {
    if (!window) inner.Progress(total, total);
    inner.PrintLine(line);
    inner.EndProgram(code);
    std::abort();
}

void Player::Differs(const std::string& what) {
    Finish(1, "replay differs at step " + std::to_string(steps) + ": " + what);
}

void Player::EndsEarly() {
    // A file that was not cut holds the game's end: running out before it
    // means the game went on where it had ended.
    if (!early) Differs("the replay has ended, but the game goes on");
    if (window) Finish(0, "replay ended at step " + std::to_string(steps) + ", early: it was cut short");
    Finish(0, "replay ok: " + std::to_string(steps) + " steps; it ends early (cut short after its last whole record), " +
                  std::to_string(checked) + " checkpoints matched");
}

// The next record, decoded; none once the file is used up.
Record& Player::Peek() {
    if (!next.have && !reader.AtEnd()) {
        next.have = Decode(reader, next);
        idlepasses = 0;
    }
    return next;
}

// The next record must be of this tag; anything else means the game has
// gone another way than it went when it was recorded.
Record& Player::Expect(Tag tag, const std::string& path) {
    Record& r = Peek();
    if (!r.have) EndsEarly();
    if (r.tag != tag)
        Differs(std::string("the game asked for ") + TagName(tag) + " (" + Printable(path) + "), the replay holds " +
                TagName(r.tag));
    if (tag != START && tag != STEPIN && r.path != path)
        Differs(std::string(TagName(tag)) + " of " + Printable(path) + ", the replay holds one of " + Printable(r.path));
    return r;
}

bool Player::Answer(Op op, const std::string& path) {
    Record& r = Expect(ANSWER, path);
    if (r.n != op) Differs("another file operation on " + Printable(path));
    const bool v = r.value != 0;
    Consume();
    return v;
}

void Player::Deliver(const std::vector<uint32_t>& events) {
    for (uint32_t e : events) ApplyKeyEvent(e);
}

// The machine's own keys while a replay plays in the window: Space runs it
// fast, closing the window ends it.
void Player::Watch() {
    if (!window) return;
    uint32_t events[MAXEVENTS];
    const int n = inner.Events(events, MAXEVENTS);
    for (int i = 0; i < n; ++i) {
        const uint32_t e = events[i];
        if ((e & 3) == KEYEVENT_DOWN && (e >> 2) == KEY_SPACE) fastforward = !fastforward;
        if ((e & 3) == KEYEVENT_CLOSE) Finish(0, "replay closed at step " + std::to_string(steps));
    }
}

void Player::Check(const Record& r) {
    if (r.step != steps) Differs("a checkpoint was taken after step " + std::to_string(r.step));
    if (StateDigestNow() != r.value) Differs("the game's state is not what it was");
    ++checked;
}

void Player::Present(int sync) {
    // Fast forward: one frame in eight reaches the display, so the waits
    // for it do not hold the replay to the display's own speed.
    if (window && fastforward && ++passes % 8 != 0) return;
    inner.Present(sync);
}

int32_t Player::Seed() {
    Record& r = Expect(START, "");
    folderproblem = r.path;
    const int32_t seed = (int32_t)(uint32_t)r.value;
    Consume();
    return seed;
}

int Player::TakeInput(uint32_t*, int) {
    Watch();
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
    return 0;
}

bool Player::Step(bool due, bool) {
    Watch();
    Record* r = &Peek();
    if (r->have && r->tag == CHECK) {
        Check(*r);
        Consume();
        r = &Peek();
    }
    if (!r->have) EndsEarly();
    if (r->tag != STEPS && r->tag != STEPIN && r->tag != STEPSIN && !(r->tag == STEPSPASS && r->n > 0)) return false;
    if (window && !fastforward && !due) return false;
    ++steps;
    if (r->tag == STEPIN || (r->tag == STEPSIN && r->n == 0)) {
        Deliver(r->events);
        Consume();
    } else if (--r->n == 0 && r->tag == STEPS) {
        Consume();
    }
    return true;
}

void Player::PassEnded() {
    if (window) return;
    if (++idlepasses > STUCKPASSES)
        Differs(std::string("the game waits for what the replay does not give; it holds ") + TagName(Peek().tag));
    if (++passes % PROGRESSEVERY == 0) inner.Progress(steps, total);
}

std::unique_ptr<TStream> Player::OpenRead(const std::string& path) {
    Record& r = Expect(READ, path);
    std::vector<uint8_t> data;
    bool found = true;
    if (r.value == MISSING) {
        found = false;
    } else if (r.value == KNOWN) {
        auto k = known.bytes.find(path);
        if (k == known.bytes.end()) Differs("the replay reads " + Printable(path) + " as known, but it is not");
        data = k->second;
    } else {
        data.assign(r.bytes, r.bytes + r.size);
        known.bytes[path] = data;
    }
    Consume();
    if (!found) return nullptr;
    return StreamAccess::Reading(path, data);
}

std::unique_ptr<TStream> Player::OpenWrite(const std::string& path) {
    if (!Answer(OPENWRITE, path)) return nullptr;
    return StreamAccess::Writing(path);
}

bool Player::CloseWrite(TStream& file) {
    const bool ok = Answer(CLOSE, StreamAccess::Path(file));
    StreamAccess::Finished(file, ok);
    known.Wrote(StreamAccess::Path(file), StreamAccess::Bytes(file), ok);
    return ok;
}

bool Player::CloseTogether(const std::string& folder, std::initializer_list<TStream*> files) {
    const bool ok = Answer(CLOSETOGETHER, folder);
    for (TStream* s : files) {
        StreamAccess::Finished(*s, ok);
        known.Wrote(StreamAccess::Path(*s), StreamAccess::Bytes(*s), ok);
    }
    return ok;
}

std::vector<std::string> Player::ListDir(const std::string& path) {
    Record& r = Expect(LIST, path);
    std::vector<std::string> names = r.names;
    Consume();
    return names;
}

void Player::EndSession() {
    const uint64_t now = StateDigestNow();
    Record& r = Peek();
    if (!r.have) EndsEarly();
    if (r.tag != END) Differs(std::string("the game ended; the replay holds ") + TagName(r.tag));
    if (r.step != steps) Differs("the game ended after " + std::to_string(steps) + " steps, not " + std::to_string(r.step));
    if (r.value != now) Differs("the game's state at its end is not what it was");
    ++checked;
    Finish(0, (window ? "replay ended: " : "replay ok: ") + std::to_string(steps) + " steps");
}

}  // namespace replay
