// The browser as the game's machine: its clock, a long check's progress,
// and the end. The rest is by job: the window and its frames
// (window_web.cpp), the keys (keys_web.cpp), the sounds (sound_web.cpp),
// the files kept in the browser's storage (storage_web.cpp), the replay's
// zlib (deflate_web.cpp); the pictures come decoded ahead (platform/parts). The game's loops
// run as they are: each Flip yields to the browser until its next frame, and
// the loop carries on where it was (ASYNCIFY).
#include <emscripten.h>
#include <emscripten/stack.h>

#include <cstdio>

#include "platform/web/web.h"

Machine& LiveMachine() {
    static WebMachine machine;
    return machine;
}

int32_t WebMachine::ClockMs() { return (int32_t)(int64_t)emscripten_get_now(); }

// A replay checked with no window (the page's #verify=) says how far it has
// got and gives the browser its turn now and then, so the page stays alive
// and shows it while it checks.
void WebMachine::Progress(uint64_t done, uint64_t total) {
    WebChecking((double)done, (double)total);
    emscripten_sleep(0);
}

void WebMachine::StartOver() { WebStartOver((double)emscripten_stack_get_base()); }

void WebMachine::EndProgram(int) {
    std::fflush(stdout);
    // The page says the game has ended, in its own words (page.js).
    if (WindowOpen()) WebEnded();
    // A page cannot close itself: the game stays ended, asking nothing of
    // the browser, until the page is reloaded.
    for (;;) emscripten_sleep(1 << 30);
}
