#include "replay/recorder.h"

#include <algorithm>

#include "platform/journal.h"

using namespace replayfile;

namespace replay {

namespace {
// The record reaches the file about once a second: a session that is
// killed loses no more than that.
constexpr uint64_t FLUSHEVERY = 60;
}  // namespace

Recorder::Recorder(Machine& live, journal::File file, const std::string& path) : Relay(live), file(file), path(path) {
    pending.bytes.reserve(1 << 16);
}

Recorder::~Recorder() { journal::Close(file); }

void Recorder::WriteRun() {
    if (run == 0) return;
    pending.U8(STEPS);
    pending.Var(run);
    run = 0;
}

void Recorder::Flush() {
    WriteRun();
    flushedat = steps;
    if (pending.bytes.empty() || file == journal::NOFILE) return;
    blockbuf.clear();
    AppendBlock(blockbuf, RECORDBLOCK, pending.bytes);
    pending.bytes.clear();
    if (!journal::Append(file, blockbuf.data(), blockbuf.size())) {
        // A full disk ends the recording, never the game.
        inner.PrintError("the replay " + path + " could not be written on; recording stops");
        journal::Close(file);
        file = journal::NOFILE;
    }
}

// Starts a record of the given tag, after the steps before it (and, for
// keys taken in a pass without a step, the quiet passes before them).
void Recorder::Begin(Tag tag) {
    WriteRun();
    for (; tag == PASSIN && quiet > 0; quiet -= std::min(quiet, QUIETRUN)) {
        pending.U8(QUIET);
        pending.Var(std::min(quiet, QUIETRUN));
    }
    quiet = 0;
    pending.U8(tag);
}

// The steps before it and a step's events in one record: most steps that
// take input take one key, so this is three bytes where it would be six.
void Recorder::WriteStepEvents(Tag tag, int n) {
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

void Recorder::WriteEvents(Tag tag, int n) {
    Begin(tag);
    pending.Var((uint64_t)n);
    for (int i = 0; i < n; ++i) pending.Var(events[i]);
}

int32_t Recorder::Seed() {
    const int32_t seed = inner.Seed();
    Begin(START);
    pending.Var((uint32_t)seed);
    pending.Str(inner.DataFolderProblem());
    return seed;
}

int Recorder::TakeInput(uint32_t* changed, int max) {
    const int n = inner.TakeInput(events, MAXEVENTS);
    if (n == 0)
        ++quiet;
    else if (quiet == 0)
        WriteStepEvents(STEPSPASS, n);
    else
        WriteEvents(PASSIN, n);
    const int k = std::min(n, max);
    std::copy(events, events + k, changed);
    return k;
}

bool Recorder::Step(bool due, bool takeinput) {
    if (!due) return false;
    if ((steps > 0 && steps % CHECKEVERY == 0) || checkasked) {
        Begin(CHECK);
        pending.Var(steps);
        pending.U64(StateDigestNow());
        checkasked = false;
        Flush();
    }
    ++steps;
    quiet = 0;
    const int n = takeinput ? inner.TakeInput(events, MAXEVENTS) : 0;
    if (n > 0)
        WriteStepEvents(STEPSIN, n);
    else
        ++run;
    if (steps - flushedat >= FLUSHEVERY) Flush();
    return true;
}

bool Recorder::Answer(Op op, const std::string& where, bool value) {
    Begin(ANSWER);
    pending.U8(op);
    pending.Str(where);
    pending.U8(value ? 1 : 0);
    return value;
}

void Recorder::NoteRead(const std::string& where, const std::vector<uint8_t>* data) {
    Begin(READ);
    pending.Str(where);
    if (!data) {
        pending.U8(MISSING);
        return;
    }
    auto k = known.bytes.find(where);
    if (k != known.bytes.end() && k->second == *data) {
        pending.U8(KNOWN);
        return;
    }
    pending.U8(BYTES);
    pending.Var(data->size());
    pending.Raw(data->data(), data->size());
    known.bytes[where] = *data;
    // A file's bytes go in a block of their own, deflated.
    Flush();
}

std::unique_ptr<TStream> Recorder::OpenRead(const std::string& where) {
    std::unique_ptr<TStream> s = inner.OpenRead(where);
    NoteRead(where, s ? &StreamAccess::Bytes(*s) : nullptr);
    return s;
}

std::unique_ptr<TStream> Recorder::OpenWrite(const std::string& where) {
    std::unique_ptr<TStream> s = inner.OpenWrite(where);
    Answer(OPENWRITE, where, s != nullptr);
    return s;
}

bool Recorder::CloseWrite(TStream& s) {
    const bool ok = inner.CloseWrite(s);
    Answer(CLOSE, StreamAccess::Path(s), ok);
    known.Wrote(StreamAccess::Path(s), StreamAccess::Bytes(s), ok);
    return ok;
}

bool Recorder::CloseTogether(const std::string& folder, std::initializer_list<TStream*> files) {
    const bool ok = Answer(CLOSETOGETHER, folder, inner.CloseTogether(folder, files));
    for (TStream* s : files) known.Wrote(StreamAccess::Path(*s), StreamAccess::Bytes(*s), ok);
    return ok;
}

bool Recorder::RecoverSaves(const std::string& folder) { return Answer(RECOVER, folder, inner.RecoverSaves(folder)); }
bool Recorder::CanSaveIn(const std::string& folder) { return Answer(CANSAVE, folder, inner.CanSaveIn(folder)); }
bool Recorder::PathExists(const std::string& where) { return Answer(EXISTS, where, inner.PathExists(where)); }
bool Recorder::MoveAside(const std::string& where) { return Answer(MOVEASIDE, where, inner.MoveAside(where)); }

std::vector<std::string> Recorder::ListDir(const std::string& where) {
    std::vector<std::string> names = inner.ListDir(where);
    Begin(LIST);
    pending.Str(where);
    pending.Var(names.size());
    for (const std::string& n : names) pending.Str(n);
    return names;
}

void Recorder::EndSession() {
    Begin(END);
    pending.Var(steps);
    pending.U64(StateDigestNow());
    Flush();
    journal::Close(file);
    file = journal::NOFILE;
    ended = true;
    UseMachine(inner);
}

}  // namespace replay
