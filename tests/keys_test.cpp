// Presses, holding, clearing and the window's close request, and when the
// machine's events reach the game: at most once a pass, at its update step
// or at its first keyboard question.
#include "engine/keys.h"
#include "platform/platform.h"
#include "replay/replay.h"
#include "testutil.h"

namespace {
class KeysTest : public GameTest {};
using headless::NextPass;
}  // namespace

TEST_F(KeysTest, PressesAccumulateUntilAskedAndAskingClearsThem) {
    headless::Tap(KEY_X);
    headless::Tap(KEY_X);
    EXPECT_EQ(KeyPressed(KEY_X), 2);
    EXPECT_EQ(KeyPressed(KEY_X), 0);
    // A key that is not asked keeps its presses pending.
    headless::Tap(KEY_Z);
    NextPass();
    EXPECT_EQ(KeyPressed(KEY_P), 0);
    EXPECT_EQ(KeyPressed(KEY_Z), 1);
}

TEST_F(KeysTest, EventsWaitForTheNextPassOrStep) {
    // As the tests play, and as every player plays: with the session recorded.
    for (bool recorded : {false, true}) {
        SCOPED_TRACE(recorded);
        headless::Reset();
        if (recorded) {
            ASSERT_TRUE(replay::Record("test"));
        }
        EXPECT_EQ(KeyPressed(KEY_X), 0);  // this pass has taken its input
        headless::Tap(KEY_X);
        headless::RequestClose();
        EXPECT_EQ(KeyPressed(KEY_X), 0);
        EXPECT_FALSE(CloseRequested());
        // A step granted in the same pass takes nothing more either.
        EXPECT_TRUE(GrantStep(true));
        EXPECT_EQ(KeyPressed(KEY_X), 0);
        NextPass();
        EXPECT_EQ(KeyPressed(KEY_X), 1);
        EXPECT_TRUE(CloseRequested());
        // Granted before any question, the step is what takes them.
        headless::KeyDown(KEY_Z);
        NextPass();
        EXPECT_FALSE(GrantStep(false));
        EXPECT_TRUE(GrantStep(true));
        EXPECT_TRUE(KeyHeld(KEY_Z));
        replay::Stop();
    }
}

TEST_F(KeysTest, HoldingGivesOnePressHoweverLongTheRepeat) {
    headless::KeyDown(KEY_RIGHT);
    for (int i = 0; i < 30; ++i) headless::KeyDown(KEY_RIGHT);  // the system's auto-repeat
    EXPECT_TRUE(KeyHeld(KEY_RIGHT));
    EXPECT_EQ(KeyPressed(KEY_RIGHT), 1);
    for (int i = 0; i < 30; ++i) headless::KeyDown(KEY_RIGHT);
    NextPass();
    EXPECT_EQ(KeyPressed(KEY_RIGHT), 0);
    headless::KeyUp(KEY_RIGHT);
    NextPass();
    EXPECT_FALSE(KeyHeld(KEY_RIGHT));
    EXPECT_EQ(KeyPressed(KEY_RIGHT), 0);
}

TEST_F(KeysTest, ClearKeysThenAutoRepeatCountsAsANewPress) {
    headless::KeyDown(KEY_SPACE);
    headless::KeyDown(KEY_A);
    ClearKeys();
    EXPECT_FALSE(KeyHeld(KEY_SPACE));
    EXPECT_EQ(KeyPressed(KEY_A), 0);
    headless::KeyDown(KEY_SPACE);  // still physically held: the next repeat
    NextPass();
    EXPECT_TRUE(KeyHeld(KEY_SPACE));
    EXPECT_EQ(KeyPressed(KEY_SPACE), 1);
}

TEST_F(KeysTest, LosingFocusLetsGoOfEveryKey) {
    headless::KeyDown(KEY_LEFT);
    headless::KeyDown(KEY_W);
    EXPECT_TRUE(KeyHeld(KEY_LEFT));
    headless::FocusLost();
    NextPass();
    EXPECT_FALSE(KeyHeld(KEY_LEFT));
    EXPECT_FALSE(KeyHeld(KEY_W));
    // Coming back and pressing again is a press as usual.
    KeyPressed(KEY_LEFT);
    headless::KeyDown(KEY_LEFT);
    NextPass();
    EXPECT_EQ(KeyPressed(KEY_LEFT), 1);
}

TEST_F(KeysTest, CloseRequestIsClearedByAsking) {
    EXPECT_FALSE(CloseRequested());
    headless::RequestClose();
    NextPass();
    EXPECT_TRUE(CloseRequested());
    EXPECT_FALSE(CloseRequested());
}

TEST_F(KeysTest, CodesOutsideTheTableAreNeverPressed) {
    for (int key : {-1, 256, 100000}) {
        headless::KeyDown(key);
        NextPass();
        EXPECT_EQ(KeyPressed(key), 0);
        EXPECT_FALSE(KeyHeld(key));
    }
}
