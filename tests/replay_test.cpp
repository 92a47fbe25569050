// Play sessions recorded as they are played and played back: the same
// steps whatever the frame rate, nothing touched while a replay plays, a
// session cut short still replayable, and the replays folder kept small.
#include <filesystem>
#include <functional>

#include "platform/headless/filefaults.h"
#include "engine/keys.h"
#include "platform/platform.h"
#include "replay/session.h"
#include "base/base.h"
#include "testutil.h"

namespace fs = std::filesystem;

namespace {
const char* const VERSION = "test";

class ReplayTest : public GameTest {
protected:
    void TearDown() override {
        filefaults::DieAfter(-1);
        GameTest::TearDown();
    }

    // Keys at moments of play (milliseconds), turned into the frames of a
    // machine that draws a frame every `framems`.
    static void Script(int framems, const std::vector<std::pair<int, std::function<void()>>>& keys) {
        for (const auto& [ms, fn] : keys) headless::At(ms / framems + 1, fn);
    }

    // A short visit: Begin a new world, run right out of the home area,
    // wander the overworld, then Escape to the title and choose Exit there.
    static void Play(int framems) {
        std::vector<std::pair<int, std::function<void()>>> keys = {
            {300, [] { headless::Tap(KEY_X); }},
            {2500, [] { headless::KeyDown(KEY_RIGHT); }},
            {3100, [] { headless::Tap(KEY_X); }},
            {7000, [] { headless::KeyUp(KEY_RIGHT); }},
            {8000, [] { headless::KeyDown(KEY_DOWN); }},
            {8400, [] { headless::KeyUp(KEY_DOWN); }},
        };
        // Whatever screen it has come to: leave it, and Exit from the title
        // (Left from Begin wraps round to Exit).
        for (int t = 12000; t < 40000; t += 2000) {
            // Held a moment: an area is left while Escape is down.
            keys.push_back({t, [] { headless::KeyDown(KEY_ESCAPE); }});
            keys.push_back({t + 100, [] { headless::KeyUp(KEY_ESCAPE); }});
            keys.push_back({t + 700, [] { headless::Tap(KEY_LEFT); }});
            keys.push_back({t + 1000, [] { headless::Tap(KEY_X); }});
        }
        Script(framems, keys);
    }

    static int RunProgram() { return RunGameToEnd(lastout); }

    // Records a session played at frames of `framems`; the replay's path.
    std::string Record(int framems, int fliplimit = 20000, std::function<void()> also = nullptr) {
        headless::Reset();
        if (also) also();
        ResetGameState();
        headless::SetFrameMs(framems);
        headless::AdvanceClock(4321);  // the seed
        headless::SetFlipLimit(fliplimit);
        EXPECT_TRUE(session::StartRecording(VERSION));
        const std::string path = folder + "/" + session::RecordingPath();
        Play(framems);
        RunProgram();
        session::Reset();  // as the process's end would
        return path;
    }

    // Plays the replay back as a new program would, in a fresh empty folder.
    int PlayBackAt(const std::string& path, bool window, int framems, std::function<void()> also = nullptr) {
        headless::Reset();
        if (also) also();
        ResetGameState();
        headless::SetFrameMs(framems);
        headless::AdvanceClock(99999);  // another clock: the replay's seed is used
        std::string why;
        if (!PlayBack(path, window, VERSION, why)) {
            lastout = why;
            return -2;
        }
        return RunProgram();
    }

    static std::string lastout;
};
std::string ReplayTest::lastout;

// The last line a run printed.
std::string Verdict(const std::string& out) {
    const size_t end = out.find_last_not_of('\n');
    if (end == std::string::npos) return "";
    const size_t start = out.rfind('\n', end);
    return out.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}
}  // namespace

TEST_F(ReplayTest, RecordedAtOneFrameRateVerifiesAtAnyOther) {
    // Three frames a step, one a step, and frames slower than the steps
    // (the step clock's backlog): the same checkpoints every time.
    for (int recordms : {5, 16, 40}) {
        const std::string path = Record(recordms);
        const std::string recorded = lastout;
        ASSERT_TRUE(fs::exists(path)) << recordms;
        EXPECT_NE(recorded.find("world saved: Defaultia"), std::string::npos) << recorded;
        for (int playms : {1, 16}) {
            EXPECT_EQ(PlayBackAt(path, false, playms), 0) << recordms << " " << playms << " " << lastout;
            EXPECT_EQ(Verdict(lastout).rfind("replay ok: ", 0), 0u) << lastout;
            // With no window, the verdict is all it says.
            EXPECT_EQ(lastout.find("saving world"), std::string::npos);
        }
        // Played in the window at its own speed, it ends as it was recorded.
        EXPECT_EQ(PlayBackAt(path, true, 7), 0) << lastout;
        EXPECT_EQ(Verdict(lastout).rfind("replay ended: ", 0), 0u) << lastout;
        fs::remove_all(folder + "/worlds");
        fs::remove_all(folder + "/replays");
        fs::remove(folder + "/settings.ini");
    }
}

TEST_F(ReplayTest, InTheWindowSpaceRunsItFastAndClosingEndsIt) {
    const std::string path = Record(16);
    ASSERT_EQ(PlayBackAt(path, true, 4), 0) << lastout;
    const int normal = headless::Flips();
    // At its own speed a 4 ms frame shows a quarter of a step.
    EXPECT_GT(normal, 3 * 700);
    ASSERT_EQ(PlayBackAt(path, true, 4, [] { headless::At(2, [] { headless::Tap(KEY_SPACE); }); }), 0) << lastout;
    EXPECT_LT(headless::Flips(), normal / 3);
    EXPECT_EQ(Verdict(lastout).rfind("replay ended: ", 0), 0u) << lastout;
    ASSERT_EQ(PlayBackAt(path, true, 16, [] { headless::At(100, [] { headless::RequestClose(); }); }), 0);
    EXPECT_EQ(Verdict(lastout).rfind("replay closed at step ", 0), 0u) << lastout;
}

TEST_F(ReplayTest, PlayingBackReadsAndWritesNoFileOfThePlayers) {
    const std::string path = Record(16);
    const fs::path kept = fs::path(folder).parent_path() / (fs::path(folder).filename().string() + ".replay");
    fs::copy_file(path, kept, fs::copy_options::overwrite_existing);
    // The player's folder now holds another world under the same name, and
    // other settings: the replay must not see them, nor change them.
    fs::remove_all(folder + "/worlds");
    fs::remove_all(folder + "/replays");
    WriteText("settings.ini", "UPSCALING=4\r\nFULLSCREEN=1\r\nWORLDNAME=Other\r\nVSYNC=0\r\n");
    fs::create_directories(folder + "/worlds/Defaultia");
    WriteText("worlds/Defaultia/overworld", "not this one");
    EXPECT_EQ(PlayBackAt(kept.string(), false, 16), 0) << lastout;
    EXPECT_EQ(PlayBackAt(kept.string(), true, 16), 0) << lastout;
    fs::remove(kept);
    EXPECT_EQ(ReadText("settings.ini"), "UPSCALING=4\r\nFULLSCREEN=1\r\nWORLDNAME=Other\r\nVSYNC=0\r\n");
    EXPECT_EQ(ReadText("worlds/Defaultia/overworld"), "not this one");
    EXPECT_FALSE(fs::exists(folder + "/replays"));
    size_t entries = 0;
    for (const auto& e : fs::recursive_directory_iterator(folder)) entries += e.is_regular_file();
    EXPECT_EQ(entries, 2u);
}

TEST_F(ReplayTest, ASessionCutShortReplaysUpToItsLastWholeBlock) {
    // Killed after its first checkpoint (ten seconds of steps).
    const std::string path = Record(16, 750);
    EXPECT_EQ(PlayBackAt(path, false, 16), 0) << lastout;
    EXPECT_NE(Verdict(lastout).find("ends early"), std::string::npos) << lastout;
    // Every step up to the last flush is there: a second or so is lost.
    const size_t at = lastout.find("replay ok: ") + 11;
    const int steps = std::stoi(lastout.substr(at));
    EXPECT_GT(steps, 750 - 2 * 60);
    EXPECT_LE(steps, 750);
}

TEST_F(ReplayTest, ASaveThatFailedFailsAgainWhenPlayedBack) {
    // The disk stops taking writes once the new world is made: every later
    // save of the session fails, and says so for two seconds.
    const std::string path = Record(16, 20000, [] { headless::At(150, [] { filefaults::DieAfter(0); }); });
    filefaults::DieAfter(-1);
    auto count = [](const std::string& out, const std::string& what) {
        int n = 0;
        for (size_t at = out.find(what); at != std::string::npos; at = out.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count(lastout, "world saved"), 1) << lastout;
    EXPECT_GE(count(lastout, "saving world"), 2) << lastout;
    // Played back where the disk takes everything, the saves still fail.
    EXPECT_EQ(PlayBackAt(path, false, 16), 0) << lastout;
    EXPECT_EQ(Verdict(lastout).rfind("replay ok: ", 0), 0u) << lastout;
}

TEST_F(ReplayTest, ASaveFinishedAtLoadingPlaysBackAsItWasRecorded) {
    // A world made and saved, then its save found cut after the commit: the
    // next session's load finishes it before reading.
    Record(16);
    fs::remove_all(folder + "/replays");
    const std::string w = folder + "/worlds/Defaultia/";
    for (const char* f : {"overworld", "player"}) fs::rename(w + f, w + f + ".tmp");
    WriteText("worlds/Defaultia/commit", "overworld\nplayer\nend\n");
    const std::string path = Record(16);
    EXPECT_FALSE(fs::exists(w + "commit"));
    EXPECT_EQ(PlayBackAt(path, false, 16), 0) << lastout;
    EXPECT_EQ(Verdict(lastout).rfind("replay ok: ", 0), 0u) << lastout;
}

TEST_F(ReplayTest, OnlyTheNewestTwentyReplaysAreKept) {
    fs::create_directories(folder + "/replays");
    for (int i = 10; i < 35; ++i) WriteText("replays/2020-01-01_00-00-" + std::to_string(i) + ".replay", "old");
    WriteText("replays/notes.txt", "mine");
    ASSERT_TRUE(session::StartRecording(VERSION));
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(folder + "/replays")) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    ASSERT_EQ(left.size(), 21u);
    // The oldest six went; the new one is the twentieth; other files stay.
    EXPECT_EQ(left.front(), "2020-01-01_00-00-16.replay");
    EXPECT_EQ(left[18], "2020-01-01_00-00-34.replay");
    EXPECT_EQ("replays/" + left[19], session::RecordingPath());
    EXPECT_EQ(left[20], "notes.txt");
}
