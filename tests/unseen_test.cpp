// With nobody watching, the game does exactly what it does when seen: a
// replay checked with no window, or sought through in the viewer, leaves
// out the drawing, and must still take every step as the session that was
// drawn and watched took it.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "engine/draw.h"
#include "engine/keys.h"
#include "shell/shell.h"
#include "testutil.h"

namespace {
class UnseenTest : public GameTest {};

// Begins a world, runs in its home area, swings, opens the bag there and
// moves about in it, closes it and jumps; then closes the window. Frames of
// 5 ms, so most passes have no update step, and the first question about
// the keys in such a pass is what takes them. The game's state summed at
// every frame.
std::vector<uint64_t> Play(bool seen) {
    // Each from an empty folder, the world made anew.
    std::filesystem::remove_all("worlds");
    std::filesystem::remove("settings.ini");
    headless::Reset();
    ResetGameState();
    DrawNothing(!seen);
    headless::SetFrameMs(5);
    headless::SetFlipLimit(6000);
    std::vector<uint64_t> sums;
    headless::EveryFlip([&sums] { sums.push_back(StateDigest()); });
    headless::At(30, [] { headless::Tap(KEY_X); });
    headless::At(450, [] { headless::KeyDown(KEY_RIGHT); });
    headless::At(570, [] { headless::KeyUp(KEY_RIGHT); });
    headless::At(600, [] { headless::Tap(KEY_Z); });
    headless::At(609, [] { headless::Tap(KEY_Z); });
    headless::At(690, [] { headless::Tap(KEY_ENTER); });
    headless::At(780, [] { headless::Tap(KEY_RIGHT); });
    headless::At(870, [] { headless::Tap(KEY_DOWN); });
    headless::At(1020, [] { headless::Tap(KEY_ESCAPE); });
    headless::At(1080, [] { headless::Tap(KEY_X); });
    headless::At(1260, [] { headless::RequestClose(); });
    std::string out;
    RunGameToEnd(out);
    DrawNothing(false);
    return sums;
}
}  // namespace

TEST_F(UnseenTest, TheGameTakesTheSameStepsWhetherOrNotItIsDrawn) {
    const std::vector<uint64_t> seen = Play(true);
    const std::vector<uint64_t> unseen = Play(false);
    ASSERT_GT(seen.size(), 1200u);
    ASSERT_EQ(seen.size(), unseen.size());
    for (size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], unseen[i]) << "the state differs at frame " << i + 1;
}
