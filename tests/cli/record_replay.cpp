// Plays a short session of the real game on the test machine with its
// replay recorded, so the tests of replay files start from one the game
// itself wrote: Begin makes a new world and enters its home area, the player
// runs about in it, leaves, walks the overworld (leaving any area it lands
// in) and, once the first checkpoint is well behind, closes the window.
//
//   record_replay FOLDER VERSION [IDLE]
//
// Plays in FOLDER (which must exist) and records with VERSION in the
// replay's header. With IDLE, the player only waits at the title for that
// many frames and closes the window: a long replay that checks quickly. Prints the replay's path, then "SIZE STEPS" each time the
// file grew: its length then and the update steps it held (every step up to
// then is written at a flush), and last "total STEPS".
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "areas/areas.h"
#include "platform/headless/headless.h"
#include "engine/keys.h"
#include "platform/platform.h"
#include "replay/replay.h"
#include "base/base.h"
#include "shell/shell.h"

namespace {
long FileSize(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? (long)st.st_size : -1;
}

// A player following a plan by frames, watching only where it is.
struct Player {
    int frame = 0, since = 0, dir = 0;
    bool inarea = false;
    long lastsize = -1;
    const int WALK[4] = {KEY_DOWN, KEY_RIGHT, KEY_UP, KEY_LEFT};

    void Flip() {
        ++frame;
        const long size = FileSize(replay::RecordingPath());
        if (size != lastsize) {
            // Flushed this pass: the file holds every step granted so far.
            std::printf("%ld %llu\n", size, (unsigned long long)replay::Steps());
            lastsize = size;
        }
        if (frame == 5) headless::Tap(KEY_X);  // Begin: a new world, entered at home
        if (frame < 5) return;
        const bool now = areaplayer != nullptr;
        if (now != inarea) {
            inarea = now;
            since = 0;
            for (int key : WALK) headless::KeyUp(key);
        }
        ++since;
        // Past the first checkpoint (every 600 steps) and some way on: the
        // window is closed, and the game saves and ends on its own.
        if (replay::Steps() > 750) {
            if (since % 30 == 0) headless::RequestClose();
            return;
        }
        if (inarea) {
            // A run to the right with a jump now and then, then Escape.
            if (since == 10) headless::KeyDown(KEY_RIGHT);
            if (since % 40 == 20) headless::KeyDown(KEY_X);
            if (since % 40 == 30) headless::KeyUp(KEY_X);
            if (since == 120) headless::KeyUp(KEY_RIGHT);
            if (since >= 130 && since % 20 == 10) headless::Tap(KEY_ESCAPE);
        } else if (since % 40 == 10) {
            // A tile or two in each direction in turn.
            headless::KeyUp(WALK[dir]);
            dir = (dir + 1) % 4;
            headless::KeyDown(WALK[dir]);
        }
    }
};
}  // namespace

int main(int argc, char** argv) {
    if ((argc != 3 && argc != 4) || ::chdir(argv[1]) != 0) {
        std::fprintf(stderr, "usage: record_replay FOLDER VERSION [IDLE]\n");
        return 2;
    }
    const int idle = argc == 4 ? std::atoi(argv[3]) : 0;
    headless::Reset();
    headless::SetFlipLimit(idle > 0 ? idle + 100 : 20000);
    if (!replay::Record(argv[2])) return 1;
    std::printf("%s\n", replay::RecordingPath().c_str());
    Player player;
    if (idle > 0)
        headless::At(idle, [] { headless::RequestClose(); });
    else
        headless::EveryFlip([&player] { player.Flip(); });
    try {
        RunGame();
    } catch (const headless::ProgramEnded& end) {
        std::printf("%ld %llu\ntotal %llu\n", FileSize(replay::RecordingPath()), (unsigned long long)replay::Steps(),
                    (unsigned long long)replay::Steps());
        return end.code;
    } catch (const headless::FlipLimitReached&) {
        std::fprintf(stderr, "the session did not end\n");
    }
    return 1;
}
