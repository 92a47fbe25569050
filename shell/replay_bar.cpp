// The replay viewer's bar, over the top of the frame in the game's own
// lettering: that it is a replay, the time and step now and in all, the
// speed, and whether it is paused or has ended; a line beneath it shows how
// far through it is.
#include <cinttypes>
#include <cstdio>

#include "base/base.h"
#include "engine/draw.h"
#include "replay/replay.h"
#include "shell/shell.h"

namespace {
// m:ss, or h:mm:ss from the first hour.
int Clock(char* out, size_t size, uint64_t steps) {
    const uint64_t s = steps / replay::STEPSPERSECOND;
    if (s >= 3600)
        return std::snprintf(out, size, "%" PRIu64 ":%02" PRIu64 ":%02" PRIu64, s / 3600, s / 60 % 60, s % 60);
    return std::snprintf(out, size, "%" PRIu64 ":%02" PRIu64, s / 60, s % 60);
}

const char* Speed(int quarters) {
    switch (quarters) {
    case 0: return "fastest";
    case 1: return "1/4x";
    case 2: return "1/2x";
    case 4: return "1x";
    case 8: return "2x";
    case 16: return "4x";
    case 32: return "8x";
    case 64: return "16x";
    default: return "?";
    }
}

const char* What(const replay::WatchState& w) {
    if (w.end == replay::End::Ended) return "ended";
    if (w.end == replay::End::Early) return "ends early here: the file was cut short";
    return w.paused ? "paused" : "playing";
}
}  // namespace

void DrawReplayBar(const replay::WatchState& w) {
    int ox = 0, oy = 0, r = 0, g = 0, b = 0;
    GetDrawOrigin(ox, oy);
    CurrentColor(r, g, b);
    SetDrawOrigin(0, 0);

    char now[24], all[24];
    Clock(now, sizeof now, w.step);
    Clock(all, sizeof all, w.total);

    SetColor(32, 24, 16);
    DrawRect(0, 0, SCREENW, 10);
    SetColor(192, 160, 128);
    const uint64_t done = w.total == 0 ? 0 : w.step * (uint64_t)SCREENW / w.total;
    DrawRect(0, 10, (int)(done > (uint64_t)SCREENW ? SCREENW : done), 1);
    SetColor(255, 255, 255);
    DrawShadowText(TextOf("REPLAY  %s / %s   step %" PRIu64 " of %" PRIu64 "   %s   %s", now, all, w.step, w.total,
                          Speed(w.quarters), What(w)),
                   3, 3, 0, 0, 1);

    SetColor(r, g, b);
    SetDrawOrigin(ox, oy);
}
