// What watching a replay costs on the desktop, in an hour's replay:
//   - how long a seek takes: from the start to the middle and to the end
//     (played unseen to there), and from the end back to the middle (the
//     game started over, then played unseen to there);
//   - the frame rate and the steps a second while watching at 16x and as
//     fast as it goes, on a display of 60 Hz (each frame shown waits for the
//     next sixtieth of a second, as a window waiting for vertical sync does).
// The machine is the test machine with the real clock; presenting a frame
// itself is measured by present_bench.
//
//   viewer_bench REPLAY      (an hour's replay: replay_bench 1 216000 REPLAY)
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <thread>

#include "engine/keys.h"
#include "platform/headless/headless.h"
#include "replay/replay.h"
#include "shell/shell.h"

namespace {
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

// The bench's course, one stage after another, moved on at each frame shown.
struct Course {
    int stage = 0;
    uint64_t total = 0, target = 0;
    Clock::time_point began;
    uint64_t fromstep = 0;
    int frames = 0;
    Clock::time_point vsync = Clock::now();
};
Course course;

void Seek(uint64_t to) {
    course.target = to;
    course.began = Clock::now();
    replay::SeekTo(to);
}

bool Landed() { return replay::Watched().step == course.target; }

void Measure(const char* what, int speedkeys) {
    std::printf("  %-36s", what);
    std::fflush(stdout);
    for (int i = 0; i < speedkeys; ++i) headless::Tap(KEY_UP);
    course.began = Clock::now();
    course.fromstep = replay::Watched().step;
    course.frames = 0;
}

void Report() {
    const double s = Since(course.began);
    const uint64_t steps = replay::Watched().step - course.fromstep;
    std::printf("%6.1f frames a second, %9.0f steps a second (%.0f times the recorded speed)\n", course.frames / s,
                (double)steps / s, (double)steps / s / 60);
}

// Each frame shown waits for the display's next sixtieth of a second.
void Display() {
    course.vsync += std::chrono::microseconds(16667);
    const auto now = Clock::now();
    if (course.vsync < now) course.vsync = now;
    std::this_thread::sleep_until(course.vsync);
}

// The seeks, in order, each from where the last one landed: where
// to (in halves of the replay) and what it is called (none: not timed).
struct Leg {
    int halves;
    const char* what;
};
constexpr Leg SEEKS[] = {
    {1, "from the start to the middle"},     {2, "on from the middle to the end"},
    {1, "back from the end to the middle"},  {0, nullptr},
    {2, "from the start to the end"},        {0, nullptr},
};
constexpr int SEEKCOUNT = (int)(sizeof SEEKS / sizeof SEEKS[0]);

// Stages: 0 paused at the start; 1 .. SEEKCOUNT each seek asked, then
// timed when it lands; then 16x, then as fast as it goes.
void Frame() {
    Display();
    ++course.frames;
    const replay::WatchState w = replay::Watched();
    const int stage = course.stage;
    if (stage == 0) {
        course.total = w.total;
        headless::Tap(KEY_SPACE);
        std::printf("seeking in an hour's replay (%" PRIu64 " steps), paused:\n", course.total);
        Seek(course.total * (uint64_t)SEEKS[0].halves / 2);
        course.stage = 1;
    } else if (stage <= SEEKCOUNT) {
        if (!Landed()) return;
        if (SEEKS[stage - 1].what) std::printf("  %-34s %6.3f s\n", SEEKS[stage - 1].what, Since(course.began));
        if (stage < SEEKCOUNT) {
            Seek(course.total * (uint64_t)SEEKS[stage].halves / 2);
        } else {
            std::printf("watching, on a 60 Hz display:\n");
            headless::Tap(KEY_SPACE);  // playing
            Measure("at 16x", 4);
        }
        course.stage = stage + 1;
    } else if (stage == SEEKCOUNT + 1) {
        if (Since(course.began) < 5) return;
        Report();
        Measure("as fast as it goes", 1);
        course.stage = stage + 1;
    } else if (stage == SEEKCOUNT + 2) {
        if (Since(course.began) < 5 && w.end == replay::End::No) return;
        Report();
        headless::Tap(KEY_ESCAPE);
        course.stage = stage + 1;
    }
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: viewer_bench REPLAY   (an hour's replay: replay_bench 1 216000 REPLAY)\n");
        return 2;
    }
    headless::Reset();
    FreshGame();
    headless::SetFlipLimit(0);
    headless::UseRealClock(true);
    std::string why;
    replay::DrawBarWith(DrawReplayBar);
    if (!replay::PlayFile(argv[1], true, QUILLMOOR_VERSION, why)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], why.c_str());
        return 1;
    }
    headless::EveryFlip(Frame);
    try {
        RunGame();
    } catch (const headless::ProgramEnded& end) {
        return end.code;
    }
    return 0;
}
