// A recorder stands in front of the live machine while a session is played:
// everything passes on to the machine, and what the machine answered the
// game (the seed, the keys at the moments the game took them, which passes
// ran an update step, and every file operation's answer) is written to the
// replay as it happens, about once a second.
#pragma once

#include <string>
#include <vector>

#include "platform/journal.h"
#include "platform/machine.h"
#include "replay/records.h"

namespace replay {

class Recorder : public Relay {
public:
    // Writes after the header already in `file` (journal.h), at `path`.
    Recorder(Machine& live, journal::File file, const std::string& path);
    ~Recorder() override;

    int32_t Seed() override;
    int TakeInput(uint32_t* changed, int max) override;
    bool Step(bool due, bool takeinput) override;
    std::unique_ptr<TStream> OpenRead(const std::string& path) override;
    std::unique_ptr<TStream> OpenWrite(const std::string& path) override;
    bool CloseWrite(TStream& file) override;
    bool CloseTogether(const std::string& folder, std::initializer_list<TStream*> files) override;
    bool RecoverSaves(const std::string& folder) override;
    bool CanSaveIn(const std::string& folder) override;
    bool PathExists(const std::string& path) override;
    bool MoveAside(const std::string& path) override;
    std::vector<std::string> ListDir(const std::string& path) override;
    // The last checkpoint, and the replay closed whole: the live machine is
    // the one in use again.
    void EndSession() override;

    // A checkpoint at the next update step, and the record up to it on the
    // disk, so the replay so far can be handed over whole (the page).
    void RequestCheckpoint() { checkasked = true; }
    uint64_t Steps() const { return steps; }
    const std::string& Path() const { return path; }
    bool Ended() const { return ended; }

private:
    void WriteRun();
    void Flush();
    void Begin(replayfile::Tag tag);
    void WriteStepEvents(replayfile::Tag tag, int n);
    void WriteEvents(replayfile::Tag tag, int n);
    bool Answer(replayfile::Op op, const std::string& path, bool value);
    void NoteRead(const std::string& path, const std::vector<uint8_t>* data);

    journal::File file;
    std::string path;
    bool ended = false;
    uint64_t steps = 0;
    replayfile::Out pending;
    uint64_t run = 0;  // steps without input not yet written
    // Passes since the last step or record that asked for keys, ran no step
    // and had none. Keys taken in a pass without a step must reach that very
    // pass when played back, not the first one that asks: a screen that
    // waits for a key without update steps (the bonus screen) is entered in
    // a pass that clears the keys, and would swallow them there.
    uint64_t quiet = 0;
    uint64_t flushedat = 0;
    bool checkasked = false;
    uint32_t events[MAXEVENTS];
    replayfile::KnownFiles known;
    std::vector<uint8_t> blockbuf;
};

}  // namespace replay
