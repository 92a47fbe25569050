// A player stands in place of the machine while a replay plays: the seed,
// the keys, which passes run an update step and every file's answer come
// from the replay, and nothing is read or written on the disk. What the
// player sees and hears still goes to the machine behind it: the window,
// watched (paused, stepped, sought and sped as the viewer asks, with its
// bar over the frame), or the quiet machine as fast as it goes (checked),
// every checkpoint compared with the game's state.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/machine.h"
#include "replay/records.h"
#include "replay/viewer.h"

namespace replay {

class Player : public Relay {
public:
    // `records`: every record block's payload in order, each record read
    // once already and found sound; `early`: the file stops before the
    // game's end; `total`: the update steps it holds.
    // `bar`: draws the viewer's bar over the frame (none: not drawn).
    Player(Machine& behind, bool window, std::vector<uint8_t> records, bool early, uint64_t total,
           void (*bar)(const WatchState&));

    // Started over, the game opens its window and loads its sounds again:
    // the ones it has are kept.
    bool OpenWindow(int width, int height, int depth, int hertz, int flags) override;
    bool LoadSound(TSound& sound, const char* path) override;
    void PlaySound(const TSound& sound) override;
    void Present(int sync) override;
    // A replay played back says nothing of what it did.
    void PrintLine(const std::string&) override {}
    void PrintError(const std::string&) override {}
    int32_t Seed() override;
    int TakeInput(uint32_t* changed, int max) override;
    bool Step(bool due, bool takeinput) override;
    void Poll() override { Watch(); }
    void PassEnded() override;
    std::unique_ptr<TStream> OpenRead(const std::string& path) override;
    std::unique_ptr<TStream> OpenWrite(const std::string& path) override;
    bool CloseWrite(TStream& file) override;
    bool CloseTogether(const std::string& folder, std::initializer_list<TStream*> files) override;
    bool RecoverSaves(const std::string& folder) override { return Answer(replayfile::RECOVER, folder); }
    bool CanSaveIn(const std::string& folder) override { return Answer(replayfile::CANSAVE, folder); }
    bool PathExists(const std::string& path) override { return Answer(replayfile::EXISTS, path); }
    bool MoveAside(const std::string& path) override { return Answer(replayfile::MOVEASIDE, path); }
    // The folders are the replay's business: nothing is made.
    void MakeDir(const std::string&) override {}
    std::vector<std::string> ListDir(const std::string& path) override;
    // As it was when the session was recorded.
    std::string DataFolderProblem() override { return folderproblem; }
    // The end compared with the replay's: the verdict, and the program ends.
    void EndSession() override;

    uint64_t Steps() const { return steps; }
    WatchState Watched() const { return view.State(steps); }
    // To go to this step at the viewer's next look at its keys.
    void AskSeek(uint64_t step) {
        asked = step;
        seekasked = true;
    }

private:
    replayfile::Record& Peek();
    void Consume() { next.have = false; }
    replayfile::Record& Expect(replayfile::Tag tag, const std::string& path);
    bool Answer(replayfile::Op op, const std::string& path);
    void Deliver(const std::vector<uint32_t>& events);
    void Watch();
    void Check(const replayfile::Record& r);
    // The frame to the window, the bar over it while it is up.
    void Show(int sync);
    // Paused: the frame stays as it is, the viewer's keys still heard.
    void Hold();
    // The replay has run out: its last frame stays until the viewer leaves
    // or goes back.
    [[noreturn]] void HoldAtEnd(bool early);
    void GoTo(uint64_t target);
    void Land();
    [[noreturn]] void StartOverAt(uint64_t target);
    [[noreturn]] void Leave();
    [[noreturn]] void Finish(int code, const std::string& line);
    [[noreturn]] void Differs(const std::string& what);
    [[noreturn]] void EndsEarly();

    bool window;
    std::vector<uint8_t> records;
    replayfile::In reader;
    replayfile::Record next;
    bool early;
    uint64_t total;
    uint64_t steps = 0;
    uint64_t checked = 0;
    uint64_t passes = 0;
    int idlepasses = 0;
    std::string folderproblem;
    replayfile::KnownFiles known;

    // Watching, in the window.
    Viewer view;
    void (*bar)(const WatchState&);
    std::vector<uint32_t> underbar;  // the frame beneath the bar while it is drawn
    bool seeking = false;
    uint64_t seekto = 0;
    bool windowopen = false;
    bool seekasked = false;
    uint64_t asked = 0;
    std::map<std::string, std::pair<TSound, bool>> sounds;
};

// Text quoted from a replay file (its version, a file's path) as it may be
// printed: a hostile file must not add lines to the verdict, nor send the
// terminal its own codes.
std::string Printable(const std::string& text);

}  // namespace replay
