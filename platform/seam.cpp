// The game's operations (platform.h), each handed to the machine in use.
// Paths are turned from the game's "\" to "/" here, once, so every machine
// (and every replay, whichever machine recorded it) sees them alike.
#include "platform/machine.h"

#include <cstdlib>

namespace {
Machine* inuse = nullptr;

bool Writable(std::initializer_list<TStream*> files) {
    for (TStream* s : files)
        if (!s || !StreamAccess::Open(*s)) return false;
    return true;
}
}  // namespace

void Relay::StartOver() {
    inner.StartOver();
    std::abort();
}

void Relay::EndProgram(int code) {
    inner.EndProgram(code);
    // A machine's end does not come back; should one, the program ends here.
    std::abort();
}

Machine& MachineInUse() { return inuse ? *inuse : LiveMachine(); }
void UseMachine(Machine& machine) { inuse = &machine; }

std::string SystemPath(const std::string& path) {
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

bool CreateGraphics(int width, int height, int depth, int hertz, int flags) {
    return MachineInUse().OpenWindow(width, height, depth, hertz, flags);
}
void SetWindowCaption(const char* caption) { MachineInUse().SetCaption(caption); }

bool TSound::Load(const char* path) { return MachineInUse().LoadSound(*this, path); }
void TSound::Play() const { MachineInUse().PlaySound(*this); }

std::unique_ptr<TStream> OpenRead(const std::string& path) { return MachineInUse().OpenRead(SystemPath(path)); }
std::unique_ptr<TStream> OpenWrite(const std::string& path) { return MachineInUse().OpenWrite(SystemPath(path)); }
bool CloseTogether(const std::string& folder, std::initializer_list<TStream*> files) {
    return Writable(files) && MachineInUse().CloseTogether(SystemPath(folder), files);
}
bool RecoverSaves(const std::string& folder) { return MachineInUse().RecoverSaves(SystemPath(folder)); }
bool CanSaveIn(const std::string& folder) { return MachineInUse().CanSaveIn(SystemPath(folder)); }
bool PathExists(const std::string& path) { return MachineInUse().PathExists(SystemPath(path)); }
bool MoveAside(const std::string& path) { return MachineInUse().MoveAside(SystemPath(path)); }
void MakeDir(const std::string& path) { MachineInUse().MakeDir(SystemPath(path)); }
std::vector<std::string> ListDir(const std::string& path) { return MachineInUse().ListDir(SystemPath(path)); }
std::string DataFolderProblem() { return MachineInUse().DataFolderProblem(); }
void PrintLine(const std::string& text) { MachineInUse().PrintLine(text); }
void PrintError(const std::string& text) { MachineInUse().PrintError(text); }

int32_t ClockMs() { return MachineInUse().ClockMs(); }
int32_t SessionSeed() { return MachineInUse().Seed(); }
void EndSession() { MachineInUse().EndSession(); }
void EndProgram(int code) {
    MachineInUse().EndProgram(code);
    std::abort();
}
