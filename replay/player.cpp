#include "replay/player.h"

#include <algorithm>
#include <cstdlib>

#include "engine/draw.h"
#include "engine/keys.h"

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

Player::Player(Machine& behind, bool window, std::vector<uint8_t> bytes, bool early, uint64_t total,
               void (*bar)(const WatchState&))
    : Relay(behind), window(window), records(std::move(bytes)), early(early), total(total), bar(bar) {
    reader = In{records.data(), records.size()};
    if (window) {
        view.Begin(total, inner.ClockMs());
        underbar.resize((size_t)SCREENW * SCREENH);
    } else {
        inner.Progress(0, total);
    }
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
    if (window) HoldAtEnd(true);
    Finish(0, "replay ok: " + std::to_string(steps) + " steps; it ends early (cut short after its last whole record), " +
                  std::to_string(checked) + " checkpoints matched");
}

// The next record, decoded; none once the file is used up.
replayfile::Record& Player::Peek() {
    if (!next.have && !reader.AtEnd()) {
        next.have = Decode(reader, next);
        idlepasses = 0;
    }
    return next;
}

// The next record must be of this tag; anything else means the game has
// gone another way than it went when it was recorded.
replayfile::Record& Player::Expect(Tag tag, const std::string& path) {
    replayfile::Record& r = Peek();
    if (!r.have) EndsEarly();
    if (r.tag != tag)
        Differs(std::string("the game asked for ") + TagName(tag) + " (" + Printable(path) + "), the replay holds " +
                TagName(r.tag));
    if (tag != START && tag != STEPIN && r.path != path)
        Differs(std::string(TagName(tag)) + " of " + Printable(path) + ", the replay holds one of " + Printable(r.path));
    return r;
}

bool Player::Answer(Op op, const std::string& path) {
    replayfile::Record& r = Expect(ANSWER, path);
    if (r.n != op) Differs("another file operation on " + Printable(path));
    const bool v = r.value != 0;
    Consume();
    return v;
}

void Player::Deliver(const std::vector<uint32_t>& events) {
    for (uint32_t e : events) ApplyKeyEvent(e);
}

// The machine's own keys while a replay plays in the window are the
// viewer's; closing the window ends it. None of them reaches the game.
void Player::Watch() {
    // A seek runs through without looking: keys pressed meanwhile wait, and
    // are heard where it lands.
    if (!window || seeking) return;
    if (seekasked) {
        seekasked = false;
        if (view.GoTo(asked, steps, inner.ClockMs()) == Viewer::Ask::Seek) GoTo(view.Target());
    }
    uint32_t events[MAXEVENTS];
    const int n = inner.Events(events, MAXEVENTS);
    for (int i = 0; i < n; ++i) {
        const uint32_t e = events[i];
        if ((e & 3) == KEYEVENT_CLOSE) Leave();
        if ((e & 3) != KEYEVENT_DOWN) continue;
        switch (view.Key((int)(e >> 2), steps, inner.ClockMs())) {
        case Viewer::Ask::Leave: Leave();
        case Viewer::Ask::Seek: GoTo(view.Target()); break;
        case Viewer::Ask::Nothing: break;
        }
    }
}

void Player::GoTo(uint64_t target) {
    if (target < steps) StartOverAt(target);
    if (target == steps) return;
    seeking = true;
    seekto = target;
    DrawNothing(true);
}

void Player::Land() {
    seeking = false;
    DrawNothing(false);
    view.Landed(inner.ClockMs());
}

// Back to an earlier step: the game from its start again, the replay from
// its first record, played unseen as fast as it goes to the step asked for.
void Player::StartOverAt(uint64_t target) {
    reader = In{records.data(), records.size()};
    next = replayfile::Record{};
    steps = checked = passes = 0;
    idlepasses = 0;
    folderproblem.clear();
    known = KnownFiles{};
    seeking = target > 0;
    seekto = target;
    DrawNothing(seeking);
    // As a program just started: no step yet, no key held nor waiting.
    ResetSession();
    ResetKeyboard();
    inner.StartOver();
    std::abort();
}

void Player::Leave() {
    if (view.AtEnd() && early) Finish(0, "replay ended at step " + std::to_string(steps) + ", early: it was cut short");
    if (view.AtEnd()) Finish(0, "replay ended: " + std::to_string(steps) + " steps");
    Finish(0, "replay closed at step " + std::to_string(steps));
}

void Player::Check(const replayfile::Record& r) {
    if (r.step != steps) Differs("a checkpoint was taken after step " + std::to_string(r.step));
    if (StateDigestNow() != r.value) Differs("the game's state is not what it was");
    ++checked;
}

bool Player::OpenWindow(int width, int height, int depth, int hertz, int flags) {
    if (windowopen) return true;
    windowopen = inner.OpenWindow(width, height, depth, hertz, flags);
    return windowopen;
}

bool Player::LoadSound(TSound& sound, const char* path) {
    auto known = sounds.find(path);
    if (known != sounds.end()) {
        sound = known->second.first;
        return known->second.second;
    }
    const bool ok = inner.LoadSound(sound, path);
    sounds.emplace(path, std::make_pair(sound, ok));
    return ok;
}

void Player::PlaySound(const TSound& sound) {
    if (window && (seeking || view.Muted())) return;
    inner.PlaySound(sound);
}

void Player::Show(int sync) {
    if (bar && view.BarUp(inner.ClockMs())) {
        std::copy(framebuffer, framebuffer + underbar.size(), underbar.begin());
        bar(view.State(steps));
        inner.Present(sync);
        std::copy(underbar.begin(), underbar.end(), framebuffer);
    } else {
        inner.Present(sync);
    }
    view.Shown(inner.ClockMs());
}

void Player::Hold() {
    for (;;) {
        Watch();
        if (!view.Holding() || seeking) return;
        Show(1);
    }
}

void Player::HoldAtEnd(bool early) {
    view.Ended(early);
    if (seeking) Land();
    for (;;) {
        Show(1);
        Watch();
    }
}

void Player::Present(int sync) {
    if (!window) {
        inner.Present(sync);
        return;
    }
    // Seeking, nothing is shown; faster than the display, the frames not
    // drawn are not shown either.
    if (seeking) return;
    if (!DrawingNothing()) Show(sync);
    if (view.Holding()) Hold();
    DrawNothing(seeking || !view.DrawNext(inner.ClockMs()));
}

int32_t Player::Seed() {
    replayfile::Record& r = Expect(START, "");
    folderproblem = r.path;
    const int32_t seed = (int32_t)(uint32_t)r.value;
    Consume();
    return seed;
}

int Player::TakeInput(uint32_t*, int) {
    Watch();
    replayfile::Record& r = Peek();
    if (!r.have) EndsEarly();
    if (r.tag == PASSIN || (r.tag == STEPSPASS && r.n == 0)) {
        Deliver(r.events);
        Consume();
        // Menus take their keys in passes with no update step: stepping
        // while paused goes on to the next of those as well.
        if (window) view.PassTaken();
    } else if (r.tag == QUIET) {
        // A pass that had no keys when it was recorded.
        idlepasses = 0;
        if (--r.n == 0) Consume();
    }
    return 0;
}

bool Player::Step(bool due, bool) {
    Watch();
    replayfile::Record* r = &Peek();
    if (r->have && r->tag == CHECK) {
        // A seek passes checkpoints without summing the game's state: it is
        // the replay played unseen, and every checkpoint played through in
        // sight is checked (as --verify checks them all).
        if (!seeking) Check(*r);
        Consume();
        r = &Peek();
    }
    if (!r->have) EndsEarly();
    if (r->tag != STEPS && r->tag != STEPIN && r->tag != STEPSIN && !(r->tag == STEPSPASS && r->n > 0)) return false;
    // Watched, the viewer says when; checked, every step runs at once.
    if (window && !seeking && !view.Grant(due, inner.ClockMs())) return false;
    ++steps;
    if (r->tag == STEPIN || (r->tag == STEPSIN && r->n == 0)) {
        Deliver(r->events);
        Consume();
    } else if (--r->n == 0 && r->tag == STEPS) {
        Consume();
    }
    if (seeking && steps >= seekto) Land();
    return true;
}

void Player::PassEnded() {
    if (window) return;
    if (++idlepasses > STUCKPASSES)
        Differs(std::string("the game waits for what the replay does not give; it holds ") + TagName(Peek().tag));
    if (++passes % PROGRESSEVERY == 0) inner.Progress(steps, total);
}

std::unique_ptr<TStream> Player::OpenRead(const std::string& path) {
    replayfile::Record& r = Expect(READ, path);
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
    replayfile::Record& r = Expect(LIST, path);
    std::vector<std::string> names = r.names;
    Consume();
    return names;
}

void Player::EndSession() {
    const uint64_t now = StateDigestNow();
    replayfile::Record& r = Peek();
    if (!r.have) EndsEarly();
    if (r.tag != END) Differs(std::string("the game ended; the replay holds ") + TagName(r.tag));
    if (r.step != steps) Differs("the game ended after " + std::to_string(steps) + " steps, not " + std::to_string(r.step));
    if (r.value != now) Differs("the game's state at its end is not what it was");
    ++checked;
    if (window) HoldAtEnd(false);
    Finish(0, "replay ok: " + std::to_string(steps) + " steps");
}

}  // namespace replay
