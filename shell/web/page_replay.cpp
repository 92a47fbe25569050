// What the page's "Save replay" asks the game (platform/web/replay.js):
// where the replay is, a checkpoint now, and how far the game has stepped;
// what the page's replay viewer asks (platform/web/watch.js): where the
// replay being watched is, and to go to a step; and the game run again from
// its start when a replay is sought back.
#include <emscripten.h>

#include <cstdio>

#include "replay/replay.h"
#include "shell/shell.h"

// The replay being written (empty when none).
extern "C" EMSCRIPTEN_KEEPALIVE const char* quillmoor_replay_path() { return replay::RecordingPath().c_str(); }

// Asks for a checkpoint at the next update step, which also writes the record
// up to it to the file; the page waits for the step count to pass the one
// returned, then the file holds the play so far, whole. -1 when nothing is
// being recorded, or no longer: an ended game has written its replay whole.
extern "C" EMSCRIPTEN_KEEPALIVE double quillmoor_replay_checkpoint() {
    if (!replay::Recording()) return -1;
    replay::RequestCheckpoint();
    return (double)replay::Steps();
}

extern "C" EMSCRIPTEN_KEEPALIVE double quillmoor_replay_steps() { return (double)replay::Steps(); }

// The viewer's bar, for the page's timeline: the step, the steps in all,
// the speed (quarters; 0 as fast as it goes), paused (1) and ended (0 no,
// 1 at its end, 2 early: cut short).
extern "C" EMSCRIPTEN_KEEPALIVE double quillmoor_watch_step() { return (double)replay::Watched().step; }
extern "C" EMSCRIPTEN_KEEPALIVE double quillmoor_watch_total() { return (double)replay::Watched().total; }
extern "C" EMSCRIPTEN_KEEPALIVE int quillmoor_watch_speed() { return replay::Watched().quarters; }
extern "C" EMSCRIPTEN_KEEPALIVE int quillmoor_watch_paused() { return replay::Watched().paused ? 1 : 0; }
extern "C" EMSCRIPTEN_KEEPALIVE int quillmoor_watch_end() { return (int)replay::Watched().end; }
// The game's state summed up now, in hex: the same at a step however it
// was come to (the tests).
extern "C" EMSCRIPTEN_KEEPALIVE const char* quillmoor_watch_digest() {
    static char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", (unsigned long long)StateDigest());
    return hex;
}
// Goes to this step at the game's next frame.
extern "C" EMSCRIPTEN_KEEPALIVE void quillmoor_watch_seek(double step) {
    replay::SeekTo(step < 0 ? 0 : (uint64_t)step);
}

// The page has left every loop of the game (WebStartOver): it runs again
// from its start, the replay in front of the machine as it was.
extern "C" EMSCRIPTEN_KEEPALIVE void quillmoor_start_over() { RunGameAgain(); }
