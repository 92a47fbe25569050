// The Windows machine's clock, its lines on the console it was started
// from, and its end.
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "platform/win32/win32.h"

namespace {
// A crash gives the desktop its display mode back before the process goes.
LONG WINAPI Crashed(EXCEPTION_POINTERS*) {
    GiveDisplayBack();
    return EXCEPTION_CONTINUE_SEARCH;
}

// A program with a window has no console of its own: --help, --version and
// --verify write to the one it was started from, where there is one, and to
// wherever its output was sent (a file, a pipe) as any program does.
void UseStartingConsole() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const bool sent = out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN;
    if (sent || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}
}  // namespace

Win32Machine::Win32Machine() {
    UseStartingConsole();
    SetUnhandledExceptionFilter(Crashed);
}

Machine& LiveMachine() {
    static Win32Machine machine;
    return machine;
}

int32_t Win32Machine::ClockMs() {
    // Starts from the wall clock's milliseconds within a ~12-day cycle, so
    // each run seeds the dice differently, and runs steadily on from there
    // by the performance counter.
    static LARGE_INTEGER frequency{}, start{};
    static int64_t base = 0;
    if (frequency.QuadPart == 0) {
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        const uint64_t ticks = (uint64_t)now.dwHighDateTime << 32 | now.dwLowDateTime;  // 100 ns
        base = (int64_t)(ticks / 10000 % 1000000000);
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (int32_t)(base + (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
}

bool Win32Machine::ErrorsToTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

// The files are where they are kept already.
bool KeepFiles(const std::vector<std::string>&) { return true; }

// The disk's own errors are the only faults here.
int DiskFault(DiskChange, const std::string&) { return 0; }

void Win32Machine::EndProgram(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    CloseSound();
    GiveDisplayBack();
    std::exit(code);
}
