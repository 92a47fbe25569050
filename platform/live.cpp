// What every live machine shares, whatever its window: the game's lines on
// standard output and standard error, the keys from the window's events,
// steps as the step clock says, and the files through the file layer.
#include <chrono>
#include <cstdio>

#include "platform/backend.h"
#include "platform/files/filelayer.h"

void LiveMachine::PrintLine(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void LiveMachine::PrintError(const std::string& text) {
    std::fputs(text.c_str(), stderr);
    std::fputc('\n', stderr);
}

void LiveMachine::Progress(uint64_t done, uint64_t total) {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point began = Clock::now();
    static int shown = -1;
    if (done == 0) {
        began = Clock::now();
        shown = -1;
    }
    if (total == 0 || !ErrorsToTerminal()) return;
    if (done >= total) {
        if (shown >= 0) std::fprintf(stderr, "\r%60s\r", "");
        shown = -1;
        return;
    }
    const int percent = (int)(done * 100 / total);
    if (percent == shown || Clock::now() - began < std::chrono::milliseconds(500)) return;
    shown = percent;
    std::fprintf(stderr, "\rchecking the replay: %d%% (step %llu of %llu)", percent, (unsigned long long)done,
                 (unsigned long long)total);
}

void LiveMachine::StartOver() { throw StartingOver{}; }

int LiveMachine::Events(uint32_t* out, int max) {
    PumpEvents();
    return TakeQueuedEvents(out, max);
}

int LiveMachine::TakeInput(uint32_t* changed, int max) {
    uint32_t events[MAXEVENTS];
    const int n = Events(events, MAXEVENTS);
    int k = 0;
    for (int i = 0; i < n; ++i)
        if (ApplyKeyEvent(events[i]) && k < max) changed[k++] = events[i];
    return k;
}

bool LiveMachine::Step(bool due, bool takeinput) {
    if (!due) return false;
    if (takeinput) {
        uint32_t changed[MAXEVENTS];
        TakeInput(changed, MAXEVENTS);
    }
    return true;
}

std::unique_ptr<TStream> LiveMachine::OpenRead(const std::string& path) { return FileLayer::ReadFile(path); }
std::unique_ptr<TStream> LiveMachine::OpenWrite(const std::string& path) { return FileLayer::WriteFile(path); }
bool LiveMachine::CloseWrite(TStream& file) { return FileLayer::Close(file); }
bool LiveMachine::CloseTogether(const std::string& folder, std::initializer_list<TStream*> files) {
    return FileLayer::WriteTogether(folder, files);
}
bool LiveMachine::RecoverSaves(const std::string& folder) { return filelayer::Recover(folder); }
bool LiveMachine::CanSaveIn(const std::string& folder) { return filelayer::SaveableFolder(folder); }
bool LiveMachine::PathExists(const std::string& path) { return disk::Exists(path); }
bool LiveMachine::MoveAside(const std::string& path) { return filelayer::MoveAside(path); }
void LiveMachine::MakeDir(const std::string& path) { filelayer::MakeFolder(path); }
std::vector<std::string> LiveMachine::ListDir(const std::string& path) { return disk::List(path); }
std::string LiveMachine::DataFolderProblem() { return filelayer::FolderProblem(); }
