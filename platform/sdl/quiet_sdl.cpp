// Standard error pointed at /dev/null for a moment, and back.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "platform/sdl/sdl.h"

QuietErrors::QuietErrors() {
    std::fflush(stderr);
    saved = dup(2);
    const int null = open("/dev/null", O_WRONLY);
    if (saved >= 0 && null >= 0) dup2(null, 2);
    if (null >= 0) close(null);
}

QuietErrors::~QuietErrors() {
    std::fflush(stderr);
    if (saved >= 0) {
        dup2(saved, 2);
        close(saved);
    }
}
