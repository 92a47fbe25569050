// What the page's "Save replay" asks the game (platform/web/replay.js):
// where the replay is, a checkpoint now, and how far the game has stepped.
#include <emscripten.h>

#include "replay/replay.h"

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
