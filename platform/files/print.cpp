// The game's diagnostic lines on standard output.
#include <cstdio>

#include "platform/backend.h"
#include "platform/platform.h"

void PrintLine(const std::string& text) {
    // A replay checked with no window says one line, its verdict.
    if (IsMachineless()) return;
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintError(const std::string& text) {
    if (IsMachineless()) return;
    std::fputs(text.c_str(), stderr);
    std::fputc('\n', stderr);
}
