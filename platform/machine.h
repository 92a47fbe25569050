// The machine the game runs on, as the seam sees it. Every operation of
// platform.h that reaches outside the game goes to the one machine in use,
// chosen once when the program starts: the live machine (a backend with the
// file layer), or something standing in front of it (a recorder that passes
// everything on and writes down what crossed, a player that answers from a
// replay, a quiet machine that shows and plays nothing). Whatever stands in
// front, the game above sees the same calls, and the machine below never
// knows it is being watched.
//
// Not for the game: it sees platform.h only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "engine/keys.h"
#include "platform/platform.h"

// Far more key events than a pass ever brings; beyond it, further ones wait.
constexpr int MAXEVENTS = 1024;

class Machine {
public:
    virtual ~Machine() = default;

    // ---------------------------------------------------------------- what the player sees and hears

    virtual bool OpenWindow(int width, int height, int depth, int hertz, int flags) = 0;
    virtual void SetCaption(const char* text) = 0;
    // The frame (engine/draw.h's framebuffer) is finished: show it.
    virtual void Present(int sync) = 0;
    virtual bool LoadSound(TSound& sound, const char* path) = 0;
    virtual void PlaySound(const TSound& sound) = 0;
    // The game's diagnostic lines, and what went wrong.
    virtual void PrintLine(const std::string& text) = 0;
    virtual void PrintError(const std::string& text) = 0;
    // A long piece of work without a window (a replay checked) has got this
    // far: a machine may say so, or give its user interface a moment.
    virtual void Progress(uint64_t done, uint64_t total) = 0;

    // ---------------------------------------------------------------- time and input

    virtual int32_t ClockMs() = 0;
    // The seed of the game's dice.
    virtual int32_t Seed() = 0;
    // The machine's own key events since last asked (key code times four
    // plus the kind, below), none of them applied to the game's keyboard.
    virtual int Events(uint32_t* out, int max) = 0;
    // The pass's input: events applied to the game's keyboard; those that
    // changed what it sees, oldest first (at most max).
    virtual int TakeInput(uint32_t* changed, int max) = 0;
    // Whether an update step runs now (`due`: one is due by the step clock).
    // A step that runs takes the pass's input, unless the pass has taken it
    // already (`takeinput` false).
    virtual bool Step(bool due, bool takeinput) = 0;
    // A keyboard question in a pass that has taken its input.
    virtual void Poll() = 0;
    // The frame was presented, or passed over: the next pass begins.
    virtual void PassEnded() = 0;

    // ---------------------------------------------------------------- files (paths with "/")

    virtual std::unique_ptr<TStream> OpenRead(const std::string& path) = 0;
    virtual std::unique_ptr<TStream> OpenWrite(const std::string& path) = 0;
    // Finishes a stream OpenWrite gave; true when its file reached the disk.
    virtual bool CloseWrite(TStream& file) = 0;
    virtual bool CloseTogether(const std::string& folder, std::initializer_list<TStream*> files) = 0;
    virtual bool RecoverSaves(const std::string& folder) = 0;
    virtual bool CanSaveIn(const std::string& folder) = 0;
    virtual bool PathExists(const std::string& path) = 0;
    virtual bool MoveAside(const std::string& path) = 0;
    virtual void MakeDir(const std::string& path) = 0;
    virtual std::vector<std::string> ListDir(const std::string& path) = 0;
    virtual std::string DataFolderProblem() = 0;

    // ---------------------------------------------------------------- the end

    // The game has ended (its last digest is StateDigestNow's).
    virtual void EndSession() = 0;
    [[noreturn]] virtual void EndProgram(int code) = 0;
    // The game from its very start again, in this program, with whatever
    // stands in front of the machine staying there (a replay sought back
    // to an earlier step): the game's loops are left where they are and
    // RunGame begins anew, its window kept.
    [[noreturn]] virtual void StartOver() = 0;
};

// What StartOver throws on a machine whose programs can leave their loops
// that way; RunGame catches it and begins again.
struct StartingOver {};

// The machine this program runs on: a backend with the file layer. Each
// backend defines it.
Machine& LiveMachine();
// From now on every operation goes to `machine` (the live one until then).
void UseMachine(Machine& machine);
Machine& MachineInUse();

// A machine in front of another, passing every operation on to it: what
// stands in front overrides what it changes.
class Relay : public Machine {
public:
    explicit Relay(Machine& inner) : inner(inner) {}

    bool OpenWindow(int width, int height, int depth, int hertz, int flags) override {
        return inner.OpenWindow(width, height, depth, hertz, flags);
    }
    void SetCaption(const char* text) override { inner.SetCaption(text); }
    void Present(int sync) override { inner.Present(sync); }
    bool LoadSound(TSound& sound, const char* path) override { return inner.LoadSound(sound, path); }
    void PlaySound(const TSound& sound) override { inner.PlaySound(sound); }
    void PrintLine(const std::string& text) override { inner.PrintLine(text); }
    void PrintError(const std::string& text) override { inner.PrintError(text); }
    void Progress(uint64_t done, uint64_t total) override { inner.Progress(done, total); }
    int32_t ClockMs() override { return inner.ClockMs(); }
    int32_t Seed() override { return inner.Seed(); }
    int Events(uint32_t* out, int max) override { return inner.Events(out, max); }
    int TakeInput(uint32_t* changed, int max) override { return inner.TakeInput(changed, max); }
    bool Step(bool due, bool takeinput) override { return inner.Step(due, takeinput); }
    void Poll() override { inner.Poll(); }
    void PassEnded() override { inner.PassEnded(); }
    std::unique_ptr<TStream> OpenRead(const std::string& path) override { return inner.OpenRead(path); }
    std::unique_ptr<TStream> OpenWrite(const std::string& path) override { return inner.OpenWrite(path); }
    bool CloseWrite(TStream& file) override { return inner.CloseWrite(file); }
    bool CloseTogether(const std::string& folder, std::initializer_list<TStream*> files) override {
        return inner.CloseTogether(folder, files);
    }
    bool RecoverSaves(const std::string& folder) override { return inner.RecoverSaves(folder); }
    bool CanSaveIn(const std::string& folder) override { return inner.CanSaveIn(folder); }
    bool PathExists(const std::string& path) override { return inner.PathExists(path); }
    bool MoveAside(const std::string& path) override { return inner.MoveAside(path); }
    void MakeDir(const std::string& path) override { inner.MakeDir(path); }
    std::vector<std::string> ListDir(const std::string& path) override { return inner.ListDir(path); }
    std::string DataFolderProblem() override { return inner.DataFolderProblem(); }
    void EndSession() override { inner.EndSession(); }
    [[noreturn]] void EndProgram(int code) override;
    [[noreturn]] void StartOver() override;

protected:
    Machine& inner;
};

// ---------------------------------------------------------------- the session, as machines see it

// Update steps granted since the session began, whichever machine granted
// them.
uint64_t SessionSteps();
// The game's state summed up now (0 until the game has said how).
uint64_t StateDigestNow();
// A new session: no step yet, the pass's input not taken, no event waiting.
void ResetSession();
// The pass is over (Flip ends one when its frame is shown): the next
// keyboard question or step takes the input again.
void EndPass();

// ---------------------------------------------------------------- key events

// What a backend reports when it collects the window's events. They wait in
// one queue until a machine takes them (Events).
void KeyDownEvent(int key);  // a press, or the system's auto-repeat
void KeyUpEvent(int key);
void FocusLostEvent();
void CloseEvent();
// The events waiting, oldest first (at most max).
int TakeQueuedEvents(uint32_t* out, int max);

// ---------------------------------------------------------------- streams

// What a machine may do with a stream beyond the game's own operations.
struct StreamAccess {
    // The file's path (with "/"), and what was read or written.
    static const std::string& Path(const TStream& file) { return file.path; }
    static const std::vector<uint8_t>& Bytes(const TStream& file) { return file.data; }
    // Written to, and not finished yet.
    static bool Open(const TStream& file) { return file.writing && !file.closed; }
    // Finished, whole on the disk (ok) or not.
    static void Finished(TStream& file, bool ok) {
        file.closed = true;
        file.failed = file.failed || !ok;
    }
    // A file read, from bytes the machine holds.
    static std::unique_ptr<TStream> Reading(const std::string& path, const std::vector<uint8_t>& bytes);
    // A file to write that reaches no disk: the machine answers for its close.
    static std::unique_ptr<TStream> Writing(const std::string& path);
};

// ---------------------------------------------------------------- the live machine's folder

// The program's arguments, in UTF-8 whatever code page the system keeps.
std::vector<std::string> ProgramArguments(int argc, char** argv);
// Where this machine keeps a player's files ($XDG_DATA_HOME/quillmoor, by
// default ~/.local/share/quillmoor); empty when it knows none, and
// PlayersFolderProblem says why.
std::string PlayersFolder();
std::string PlayersFolderProblem();
// Makes the folder the player's files are kept in (and every folder above
// it) and enters it. False when it cannot be used: that is then
// DataFolderProblem's answer, and nothing is written anywhere.
bool UseDataFolder(const std::string& folder);
// No folder for the player's files can be had at all, for that reason.
void NoDataFolder(const std::string& why);
