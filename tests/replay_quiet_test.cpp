// Keys taken in a pass without an update step reach that very pass again
// when the replay plays, however many passes before it asked for keys and
// had none. The bonus screen is where it shows: it waits for a key with no
// steps at all, and it is entered in a pass whose ClearKeys would swallow a
// key meant for a later frame of it.
#include "areas/areas.h"
#include "areas/encounter.h"
#include "engine/keys.h"
#include "platform/platform.h"
#include "replay/replay.h"
#include "testutil.h"

#include <filesystem>

namespace {
const char* const VERSION = "test";

class ReplayQuietTest : public GameTest {};

// The end of a wild win kept untouched: its last update step, then the
// bonus screen, closed with X after it has shown `wait` frames (none is
// pressed when played back). The frames it took in all.
int WinAndWait(int wait) {
    SessionSeed();
    EXPECT_TRUE(GrantStep(true));
    Flip(0);
    untouched = 1;
    if (wait > 0) headless::At(headless::Flips() + wait, [] { headless::Tap(KEY_X); });
    ScoreWin(false);
    return headless::Flips();
}

struct Played {
    int code = -1, frames = -1;
    std::string out;
};

// The replay played back as the program plays it; in the window, every
// frame is shown and counted.
Played PlayBackWin(const std::string& path, bool window) {
    headless::Reset();
    ResetGameState();
    headless::SetFlipLimit(5000);
    Played p;
    std::string why;
    if (!replay::PlayFile(path, window, VERSION, why)) {
        p.out = why;
        return p;
    }
    if (window) CloseAtTheReplaysEnd();
    testing::internal::CaptureStdout();
    try {
        WinAndWait(0);
        EndSession();
    } catch (const headless::ProgramEnded& e) {
        p.code = e.code;
    } catch (const headless::FlipLimitReached&) {
        // The key went to an earlier pass: the screen waits for ever.
    }
    p.frames = headless::Flips();
    p.out = testing::internal::GetCapturedStdout();
    return p;
}
}  // namespace

TEST_F(ReplayQuietTest, TheBonusScreenClosesInTheFrameItClosedInWhenRecorded) {
    // Pressed at once, after a moment, and after more quiet frames than one
    // record of them holds.
    for (int wait : {1, 2, 45, 1500}) {
        SCOPED_TRACE(wait);
        headless::Reset();
        ResetGameState();
        headless::SetFlipLimit(5000);
        ASSERT_TRUE(replay::Record(VERSION));
        const std::string path = replay::RecordingPath();
        const int recorded = WinAndWait(wait);
        EXPECT_EQ(recorded, 1 + wait);
        EndSession();

        const Played checked = PlayBackWin(path, false);
        EXPECT_EQ(checked.code, 0) << checked.out;
        EXPECT_EQ(checked.out, "replay ok: 1 steps\n");
        const Played watched = PlayBackWin(path, true);
        EXPECT_EQ(watched.code, 0) << watched.out;
        EXPECT_EQ(watched.out, "replay ended: 1 steps\n");
        // And one more: the last frame held, saying it has ended.
        EXPECT_EQ(watched.frames, recorded + 1);
    }
}

TEST_F(ReplayQuietTest, AFileCutJustBeforeTheBonusScreenEndsEarlyThere) {
    // A checkpoint, the last update step, and a file read whose block is
    // written at once: the file is cut right after it, before the keys the
    // bonus screen took. Played back, the screen finds no keys and nothing
    // after them: the replay has ended early, however long it waited.
    WriteText("note", "a file of the player's");
    const auto session = [](size_t* cut) {
        SessionSeed();
        replay::RequestCheckpoint();
        EXPECT_TRUE(GrantStep(true));
        Flip(0);
        EXPECT_TRUE(OpenRead("note"));
        if (cut) *cut = std::filesystem::file_size(replay::RecordingPath());
        untouched = 1;
        headless::At(headless::Flips() + 30, [] { headless::Tap(KEY_X); });
        ScoreWin(false);
        EndSession();
    };
    headless::SetFlipLimit(5000);
    ASSERT_TRUE(replay::Record(VERSION));
    const std::string path = replay::RecordingPath();
    size_t cut = 0;
    session(&cut);
    std::filesystem::resize_file(path, cut);
    for (bool window : {false, true}) {
        headless::Reset();
        ResetGameState();
        headless::SetFlipLimit(5000);
        std::string why;
        ASSERT_TRUE(replay::PlayFile(path, window, VERSION, why)) << why;
        if (window) CloseAtTheReplaysEnd();
        testing::internal::CaptureStdout();
        int code = -1;
        try {
            session(nullptr);
        } catch (const headless::ProgramEnded& e) {
            code = e.code;
        } catch (const headless::FlipLimitReached&) {
        }
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(code, 0) << out;
        EXPECT_EQ(out, window ? "replay ended at step 1, early: it was cut short\n"
                              : "replay ok: 1 steps; it ends early (cut short after its last whole record), 1 "
                                "checkpoints matched\n");
    }
}
