#include "replay/viewer.h"

#include <algorithm>

#include "engine/keys.h"

namespace replay {

namespace {
// The owed steps are counted in ms times quarters of the speed times the
// steps a second: one step is this many.
constexpr int64_t STEPCOST = 1000 * 4;
// Time the clock lost (a window dragged, a machine asleep) is not paid
// back in a rush: at most this much of it counts.
constexpr int32_t MOSTOWED = 100;
// A frame is due on the display this long after the last one (a little
// under a 60 Hz display's period, so none is missed waiting for it).
constexpr int32_t FRAMEDUE = 15;
// And one is drawn after this many passes unseen whatever the clock says,
// so a clock that stands still between frames (the test machine's) still
// shows some.
constexpr int MOSTUNSEEN = 4096;
// The seeking keys' strides.
constexpr uint64_t SHORTSEEK = 10 * STEPSPERSECOND, LONGSEEK = 60 * STEPSPERSECOND;
}  // namespace

void Viewer::Begin(uint64_t steps, int32_t now) {
    total = steps;
    lastclock = lastshown = lastkey = now;
}

void Viewer::Tick(int32_t now) {
    const int32_t elapsed = std::clamp(now - lastclock, 0, MOSTOWED);
    lastclock = now;
    if (paused || SPEEDS[speed] == 0) return;
    const int64_t rate = (int64_t)SPEEDS[speed] * (int64_t)STEPSPERSECOND;
    owed = std::min(owed + elapsed * rate, MOSTOWED * rate + STEPCOST);
}

void Viewer::Seek(uint64_t to) { target = std::min(to, total); }

Viewer::Ask Viewer::Key(int key, uint64_t step, int32_t now) {
    lastkey = now;
    switch (key) {
    case KEY_ESCAPE: return Ask::Leave;
    case KEY_SPACE:
        if (end != End::No) return Ask::Nothing;
        paused = !paused;
        stepping = 0;
        Landed(now);
        return Ask::Nothing;
    case KEY_PERIOD:
        // Playing, it stops where it is; paused, one step on.
        if (end != End::No) return Ask::Nothing;
        if (paused)
            stepping = 1;
        else
            paused = true;
        return Ask::Nothing;
    case KEY_UP:
    case KEY_DOWN:
        speed = std::clamp(speed + (key == KEY_UP ? 1 : -1), 0, SPEEDCOUNT - 1);
        Landed(now);
        return Ask::Nothing;
    case KEY_LEFT: Seek(step > SHORTSEEK ? step - SHORTSEEK : 0); break;
    case KEY_RIGHT: Seek(step + SHORTSEEK); break;
    case KEY_PAGEUP: Seek(step > LONGSEEK ? step - LONGSEEK : 0); break;
    case KEY_PAGEDOWN: Seek(step + LONGSEEK); break;
    case KEY_HOME: Seek(0); break;
    case KEY_END: Seek(total); break;
    default: return Ask::Nothing;
    }
    return Sought(step);
}

Viewer::Ask Viewer::GoTo(uint64_t to, uint64_t step, int32_t now) {
    lastkey = now;
    Seek(to);
    return Sought(step);
}

Viewer::Ask Viewer::Sought(uint64_t step) {
    // Past the end there is nothing to go to.
    if (target == step || (end != End::No && target > step)) return Ask::Nothing;
    if (target < step) end = End::No;
    return Ask::Seek;
}

bool Viewer::Grant(bool due, int32_t now) {
    Tick(now);
    if (paused) {
        if (stepping == 0) return false;
        --stepping;
        return true;
    }
    if (speed == NORMAL) return due;
    if (SPEEDS[speed] == 0) return true;
    if (owed < STEPCOST) return false;
    owed -= STEPCOST;
    return true;
}

bool Viewer::DrawNext(int32_t now) {
    Tick(now);
    const bool draw = paused || speed <= NORMAL || now - lastshown >= FRAMEDUE || ++unseen >= MOSTUNSEEN ||
                      // Caught up: the next step is the last one owed for now.
                      (SPEEDS[speed] != 0 && owed < 2 * STEPCOST);
    if (draw) unseen = 0;
    return draw;
}

void Viewer::Landed(int32_t now) {
    owed = 0;
    lastclock = now;
}

void Viewer::Ended(bool early) { end = early ? End::Early : End::Ended; }

WatchState Viewer::State(uint64_t step) const {
    WatchState s;
    s.step = step;
    s.total = total;
    s.quarters = SPEEDS[speed];
    s.paused = paused;
    s.end = end;
    return s;
}

}  // namespace replay
