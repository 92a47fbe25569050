// What whoever watches a replay in the window asks of it: paused or
// playing, a step at a time, how fast, where to go, and when the bar is up.
// It decides only when the replay's steps are shown and which frames are
// drawn; the game's steps and keys come from the replay alone, so nothing
// here reaches what the game does. Times are the machine's clock, in ms.
#pragma once

#include <cstdint>

#include "replay/replay.h"

namespace replay {

class Viewer {
public:
    // What a key asks for beyond what the viewer settles itself.
    enum class Ask { Nothing, Seek, Leave };

    void Begin(uint64_t total, int32_t now);

    // A key pressed while the replay is at `step`. Paused, a step goes on
    // to the next update step, or to the next keys a menu takes. After Ask::Seek, Target()
    // is the step to go to (already within the replay).
    Ask Key(int key, uint64_t step, int32_t now);
    uint64_t Target() const { return target; }
    // Asked to go to a step (the page's timeline), while at `step`.
    Ask GoTo(uint64_t to, uint64_t step, int32_t now);

    // Whether the update step the replay holds next runs in this pass; at
    // the recorded speed, when the game's own step clock says one is `due`,
    // so it plays as it was played.
    bool Grant(bool due, int32_t now);
    // Keys taken in a pass with no update step (a menu's).
    void PassTaken() {
        if (paused && stepping > 0) --stepping;
    }
    // Whether the pass after this one is drawn and shown: every one at the
    // recorded speed and slower, and while paused; faster, only as many as
    // the display shows, the rest skipped.
    bool DrawNext(int32_t now);
    // A frame reached the display.
    void Shown(int32_t now) { lastshown = now; }
    // Held still: paused with no step asked for.
    bool Holding() const { return paused && stepping == 0; }
    // Too fast to listen to.
    bool Muted() const { return speed > NORMAL + 2; }
    bool BarUp(int32_t now) const { return end != End::No || now - lastkey < BARMS; }

    // A seek has landed: the steps owed start afresh from here.
    void Landed(int32_t now);
    // The replay has run out, whole or cut short.
    void Ended(bool early);
    bool AtEnd() const { return end != End::No; }

    // What the bar shows.
    WatchState State(uint64_t step) const;

private:
    static constexpr int NORMAL = 2;   // SPEEDS' recorded speed
    static constexpr int32_t BARMS = 3000;
    void Tick(int32_t now);
    void Seek(uint64_t to);
    Ask Sought(uint64_t step);

    uint64_t total = 0;
    uint64_t target = 0;
    int speed = NORMAL;
    bool paused = false;
    int stepping = 0;
    int64_t owed = 0;  // steps owed, in quarters of a step per ms times 60 (STEPCOST a step)
    int32_t lastclock = 0;
    int32_t lastshown = 0;
    int32_t lastkey = 0;
    int unseen = 0;  // passes in a row not drawn
    End end = End::No;
};

}  // namespace replay
