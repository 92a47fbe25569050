// Presses, holding, clearing and the window's close request.
#include "platform/platform.h"
#include "testutil.h"

namespace {
class KeysTest : public GameTest {};
}  // namespace

TEST_F(KeysTest, PressesAccumulateUntilAskedAndAskingClearsThem) {
    headless::Tap(KEY_X);
    headless::Tap(KEY_X);
    EXPECT_EQ(KeyPressed(KEY_X), 2);
    EXPECT_EQ(KeyPressed(KEY_X), 0);
    // A key that is not asked keeps its presses pending.
    headless::Tap(KEY_Z);
    EXPECT_EQ(KeyPressed(KEY_P), 0);
    EXPECT_EQ(KeyPressed(KEY_Z), 1);
}

TEST_F(KeysTest, HoldingGivesOnePressHoweverLongTheRepeat) {
    headless::KeyDown(KEY_RIGHT);
    for (int i = 0; i < 30; ++i) headless::KeyDown(KEY_RIGHT);  // the system's auto-repeat
    EXPECT_TRUE(KeyHeld(KEY_RIGHT));
    EXPECT_EQ(KeyPressed(KEY_RIGHT), 1);
    headless::KeyUp(KEY_RIGHT);
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
    EXPECT_TRUE(KeyHeld(KEY_SPACE));
    EXPECT_EQ(KeyPressed(KEY_SPACE), 1);
}

TEST_F(KeysTest, LosingFocusLetsGoOfEveryKey) {
    headless::KeyDown(KEY_LEFT);
    headless::KeyDown(KEY_W);
    EXPECT_TRUE(KeyHeld(KEY_LEFT));
    headless::FocusLost();
    EXPECT_FALSE(KeyHeld(KEY_LEFT));
    EXPECT_FALSE(KeyHeld(KEY_W));
    // Coming back and pressing again is a press as usual.
    KeyPressed(KEY_LEFT);
    headless::KeyDown(KEY_LEFT);
    EXPECT_EQ(KeyPressed(KEY_LEFT), 1);
}

TEST_F(KeysTest, CloseRequestIsClearedByAsking) {
    EXPECT_FALSE(CloseRequested());
    headless::RequestClose();
    EXPECT_TRUE(CloseRequested());
    EXPECT_FALSE(CloseRequested());
}

TEST_F(KeysTest, CodesOutsideTheTableAreNeverPressed) {
    for (int key : {-1, 256, 100000}) {
        headless::KeyDown(key);
        EXPECT_EQ(KeyPressed(key), 0);
        EXPECT_FALSE(KeyHeld(key));
    }
}
