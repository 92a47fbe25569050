// The fixed-step clock and the frame counter.
#include "platform/platform.h"
#include "base/base.h"
#include "testutil.h"

namespace {
class ClockTest : public GameTest {};
}  // namespace

TEST_F(ClockTest, ASlowFrameGrantsOneStepAndKeepsTheRest) {
    lasttime = ClockMs();
    headless::AdvanceClock(100);
    EXPECT_TRUE(StepDue());
    EXPECT_EQ(deltatime, 100);
    EXPECT_FLOAT_EQ(accum, 84.0f);
    // The 84 ms owed are paid out one step per later call, even with no time passing.
    int steps = 0;
    while (StepDue()) ++steps;
    EXPECT_EQ(steps, 5);
    EXPECT_FLOAT_EQ(accum, 4.0f);
}

TEST_F(ClockTest, FastFramesWaitForTheStep) {
    lasttime = ClockMs();
    int steps = 0;
    for (int frame = 0; frame < 160; ++frame) {  // 160 frames of 5 ms = 800 ms
        headless::AdvanceClock(5);
        if (StepDue()) ++steps;
    }
    EXPECT_EQ(steps, 50);
}

TEST_F(ClockTest, FrameCounterShowsOneFirstThenFramesPerSecond) {
    headless::AdvanceClock(5000);
    EXPECT_EQ(FPS::Calc(), 1);
    for (int i = 0; i < 30; ++i) {
        headless::AdvanceClock(20);
        EXPECT_EQ(FPS::Calc(), 1);
    }
    // The value refreshes at the first frame strictly past the second: the
    // frames at 5020 ms up to 6020 ms, 51 of them, are shown.
    int shown = 0;
    for (int i = 0; i < 30; ++i) {
        headless::AdvanceClock(20);
        shown = FPS::Calc();
    }
    EXPECT_EQ(shown, 51);
}
