// The fixed-step clock every loop of the game asks once per pass, and the
// frame counter.
#include "engine/draw.h"
#include "base/base.h"

uint8_t quit = 0;
float accum = 0.0f;
int32_t lasttime = 0;
int32_t deltatime = 0;

// One step at most per call: a slow frame makes the game run slower rather
// than leap ahead, and the time owed is paid out one step per later frame.
bool StepDue() {
    deltatime = ClockMs() - lasttime;
    lasttime = ClockMs();
    accum = accum + (float)deltatime;
    // The machine has the last word: a replay grants the steps it recorded.
    const bool due = accum >= steptime;
    if (!GrantStep(due)) return false;
    if (due) accum = accum - steptime;
    return true;
}

int32_t FPS::framecount = 0;
int32_t FPS::nextupdate = 0;
int32_t FPS::current = 0;

int32_t FPS::Calc() {
    framecount += 1;
    if (ClockMs() > nextupdate) {
        current = framecount;
        nextupdate = ClockMs() + 1000;
        framecount = 0;
    }
    return current;
}

void FPS::DrawFPS() {
    SetColor(255, 255, 255);
    DrawShadowText("FPS:" + std::to_string(Calc()), 1, 264, 0, 0, 0);
}
