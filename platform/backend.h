// What a backend is: the live machine's window, sounds, clock, keys and
// end, on the file layer every backend shares. A backend derives its
// machine from LiveMachine, gives it through LiveMachine() (machine.h), and
// answers the file layer's two questions below.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/machine.h"

// The backend's own are the window, the sounds, the clock and the end
// (OpenWindow, SetCaption, Present, LoadSound, PlaySound, ClockMs,
// EndProgram) and collecting the window's events (PumpEvents).
class LiveMachine : public Machine {
public:
    // Standard output and standard error. How far a long check has got is
    // a line on standard error, rewritten as it goes, where that is a
    // terminal (ErrorsToTerminal), and only once the check has taken a
    // moment: a short one, or one told to a file or a pipe, says its verdict
    // alone.
    void PrintLine(const std::string& text) override;
    void PrintError(const std::string& text) override;
    void Progress(uint64_t done, uint64_t total) override;

    // The seed from the clock; the keys from the window's events, taken
    // when the game takes its input; steps as the step clock says.
    int32_t Seed() override { return ClockMs(); }
    int Events(uint32_t* out, int max) override;
    int TakeInput(uint32_t* changed, int max) override;
    bool Step(bool due, bool takeinput) override;
    void Poll() override {}
    void PassEnded() override {}
    // Throws StartingOver, for RunGame to catch.
    [[noreturn]] void StartOver() override;

    // The file layer (files/).
    std::unique_ptr<TStream> OpenRead(const std::string& path) override;
    std::unique_ptr<TStream> OpenWrite(const std::string& path) override;
    bool CloseWrite(TStream& file) override;
    bool CloseTogether(const std::string& folder, std::initializer_list<TStream*> files) override;
    bool RecoverSaves(const std::string& folder) override;
    bool CanSaveIn(const std::string& folder) override;
    bool PathExists(const std::string& path) override;
    bool MoveAside(const std::string& path) override;
    void MakeDir(const std::string& path) override;
    std::vector<std::string> ListDir(const std::string& path) override;
    std::string DataFolderProblem() override;

    void EndSession() override {}

protected:
    // Collects the window's pending events (KeyDownEvent and friends).
    virtual void PumpEvents() = 0;
    // Standard error is a terminal a person reads.
    virtual bool ErrorsToTerminal() { return false; }
};

// Told after every save that reached the disk (a world's files together,
// an area, the settings), with the files it wrote, for a machine that must
// write them on to where they are kept (the browser's storage) as one.
// False when they could not be kept there: the save has failed.
bool KeepFiles(const std::vector<std::string>& paths);

// Asked before every operation that changes the disk: 0 lets it through, as
// a real machine always does; otherwise the error it fails with. The test
// machine fails them on purpose, to see what a save leaves behind, and
// keeps their order (headless/filefaults.h).
enum class DiskChange {
    TEMPORARY,   // a new temporary file beside the one it will replace
    CREATE,      // any other new file (or one opened to be written over)
    WRITE,       // bytes written to a file
    SYNC,        // a file synced to the disk
    SYNCFOLDER,  // a folder synced, so the names in it are on the disk
    RENAME,      // a file renamed over another
    REMOVE,      // a file removed
    MAKEFOLDER,  // a folder made
};
int DiskFault(DiskChange change, const std::string& path);
