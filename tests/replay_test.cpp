// Play sessions recorded as they are played and played back: the same
// steps whatever the frame rate, nothing touched while a replay plays, a
// session cut short still replayable, and the replays folder kept small.
#include <filesystem>
#include <functional>

#include <set>

#include "areas/areafile.h"
#include "engine/keys.h"
#include "platform/headless/filefaults.h"
#include "platform/journal.h"
#include "platform/platform.h"
#include "replay/format.h"
#include "replay/records.h"
#include "replay/replay.h"
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
        EXPECT_TRUE(replay::Record(VERSION));
        const std::string path = folder + "/" + replay::RecordingPath();
        Play(framems);
        RunProgram();
        replay::Stop();  // as the process's end would
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
        if (!replay::PlayFile(path, window, VERSION, why)) {
            lastout = why;
            return -2;
        }
        if (window) CloseAtTheReplaysEnd();
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

TEST_F(ReplayTest, InTheWindowTheCloseButtonEndsIt) {
    const std::string path = Record(16);
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

// Where a checkpoint's digest lies in a recorded file, in a block kept as it
// is (not deflated): a byte flipped there leaves every record well formed.
size_t DigestInPlainBlock(const std::vector<uint8_t>& file) {
    using namespace replayfile;
    size_t at = 0;
    uint8_t kind = 0;
    std::vector<uint8_t> payload;
    for (;;) {
        const size_t start = at;
        if (NextBlock(file, at, kind, payload) != Block::Whole) return 0;
        if (file[start] != RECORDBLOCK) continue;
        In head{file.data(), file.size(), start + 1};
        head.Var();
        In in{payload.data(), payload.size()};
        replayfile::Record r;
        while (!in.AtEnd() && Decode(in, r))
            if (r.tag == CHECK) return head.at + in.at - 1;
    }
}

TEST_F(ReplayTest, ADamagedFileIsAlwaysCalledDamaged) {
    const std::vector<unsigned char> recorded = ReadBytes(Record(16));
    const std::vector<uint8_t> good(recorded.begin(), recorded.end());
    const size_t digest = DigestInPlainBlock(good);
    ASSERT_GT(digest, 0u);
    size_t header = 0;
    uint8_t kind = 0;
    std::vector<uint8_t> payload;
    ASSERT_EQ(replayfile::NextBlock(good, header, kind, payload), replayfile::Block::Whole);
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> spoil;
        const char* says;
    };
    const Case cases[] = {
        {"a checkpoint's digest in a block kept as it is", [&](auto& f) { f[digest] ^= 0x40; }, "fails its checksum"},
        {"a block that says it holds more than any may",
         [&](auto& f) {
             f.resize(header);
             replayfile::Out big;
             big.U8(replayfile::RECORDBLOCK);
             big.Var(replayfile::BLOCKLIMIT + 1);
             big.Raw(good.data(), 64);
             f.insert(f.end(), big.bytes.begin(), big.bytes.end());
         },
         "is too large"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        c.spoil(bytes);
        WriteText("spoiled.replay", std::string(bytes.begin(), bytes.end()));
        EXPECT_EQ(PlayBackAt(folder + "/spoiled.replay", false, 16), -2) << c.what << ": " << lastout;
        EXPECT_EQ(lastout.rfind("the replay is damaged: ", 0), 0u) << c.what << ": " << lastout;
        EXPECT_NE(lastout.find(c.says), std::string::npos) << c.what << ": " << lastout;
    }
}

TEST_F(ReplayTest, PlayedBackItSaysNothingOfWhatItDidToFiles) {
    // A session that finds an area's file damaged, sets it aside and says so.
    const auto session = [] {
        SessionSeed();
        GrantStep(true);
        LoadArea(5, 5, 32, 32);
        EndSession();
    };
    fs::create_directories("worlds/Defaultia");
    WriteText("worlds/Defaultia/5,5", "not an area");
    ASSERT_TRUE(replay::Record(VERSION));
    const std::string path = replay::RecordingPath();
    testing::internal::CaptureStderr();
    session();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("area file worlds/Defaultia/5,5 is damaged; kept as"), std::string::npos) << said;
    // Checked, and watched: the verdict is all it says, on its own line.
    for (bool window : {false, true}) {
        headless::Reset();
        ResetGameState();
        std::string why;
        ASSERT_TRUE(replay::PlayFile(path, window, VERSION, why)) << why;
        if (window) CloseAtTheReplaysEnd();
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        EXPECT_THROW(session(), headless::ProgramEnded);
        const std::string out = testing::internal::GetCapturedStdout(), err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(out, window ? "replay ended: 1 steps\n" : "replay ok: 1 steps\n");
        EXPECT_EQ(err, "") << window;
    }
}

TEST_F(ReplayTest, ALongCheckSaysHowFarItHasGot) {
    // Real play of some minutes, as the game keeps it among its tests.
    const std::string path = std::string(QUILLMOOR_SOURCE_DIR) + "/tests/replays/tunnel_win.replay";
    std::string why;
    ASSERT_TRUE(replay::PlayFile(path, false, QUILLMOOR_VERSION, why)) << why;
    ASSERT_EQ(RunProgram(), 0) << lastout;
    const uint64_t steps = std::stoull(lastout.substr(lastout.rfind("replay ok: ") + 11));
    const auto& shown = headless::ProgressShown();
    // From nothing, a step at a time, to the whole, and said done at the end.
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.front(), std::make_pair(uint64_t{0}, steps));
    EXPECT_EQ(shown.back(), std::make_pair(steps, steps));
    for (size_t i = 1; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].second, steps);
        EXPECT_LE(shown[i - 1].first, shown[i].first);
    }
    // Watched in the window, it goes at its own speed: nothing to say.
    headless::Reset();
    ResetGameState();
    ASSERT_TRUE(replay::PlayFile(path, true, QUILLMOOR_VERSION, why)) << why;
    CloseAtTheReplaysEnd();
    ASSERT_EQ(RunProgram(), 0) << lastout;
    EXPECT_TRUE(headless::ProgressShown().empty());
}

// The replays folder as a player's may be: replays of sessions begun in
// the same second, and files that are not replays at all.
class KeepTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        fs::create_directories(folder + "/replays");
    }
    // A replay's first bytes, as every session's replay begins.
    static void WriteReplay(const std::string& name) {
        std::vector<uint8_t> bytes;
        replayfile::AppendHeader(bytes, VERSION);
        WriteText("replays/" + name, std::string(bytes.begin(), bytes.end()));
    }
    static std::set<std::string> Left() {
        std::set<std::string> left;
        for (const auto& e : fs::directory_iterator("replays")) left.insert(e.path().filename().string());
        return left;
    }
};

TEST_F(KeepTest, TheNewestTwentyAreKeptByWhenTheirSessionsBeganAndNothingElseIsTouched) {
    // Five sessions begun in one second (the first, then -2 to -5, and a
    // -10 and a -11 that began later still) and fifteen in the seconds after.
    std::vector<std::string> bytime = {"2020-01-01_00-00-09.replay"};
    for (int k : {2, 3, 4, 10, 11}) bytime.push_back("2020-01-01_00-00-09-" + std::to_string(k) + ".replay");
    for (int i = 10; i < 25; ++i) bytime.push_back("2020-01-01_00-00-" + std::to_string(i) + ".replay");
    for (const std::string& name : bytime) WriteReplay(name);
    // Not the game's: another program's notes, a file named as a replay that
    // is none, and names that only look like a replay's.
    const std::vector<std::string> others = {"notes.txt", "2020-01-01_00-00-00.replay", "2020-01-01_00-00-01-0.replay",
                                             "2020-01-01_00-00.replay", "x2020-01-01_00-00-02.replay"};
    WriteText("replays/notes.txt", "mine");
    WriteText("replays/2020-01-01_00-00-00.replay", "not a replay at all, whatever its name");
    for (size_t i = 2; i < others.size(); ++i) WriteReplay(others[i]);

    ASSERT_TRUE(replay::Record(VERSION));
    const std::set<std::string> left = Left();
    // 21 replays and the new one: the two that began first went.
    for (size_t i = 0; i < bytime.size(); ++i) EXPECT_EQ(left.count(bytime[i]), i < 2 ? 0u : 1u) << bytime[i];
    for (const std::string& name : others) EXPECT_EQ(left.count(name), 1u) << name;
    EXPECT_EQ(left.count(replay::RecordingPath().substr(8)), 1u);
    EXPECT_EQ(left.size(), 20 + others.size());
}

TEST_F(KeepTest, TheReplayOfASessionStillRunningIsNeverRemoved) {
    // A session left at the title, in this program or another, holds its
    // replay open as a recording does; twenty more come and go beside it.
    const std::string running = "replays/2020-01-01_00-00-00.replay";
    const journal::File held = journal::Create(running);
    ASSERT_NE(held, journal::NOFILE);
    std::vector<uint8_t> header;
    replayfile::AppendHeader(header, VERSION);
    ASSERT_TRUE(journal::Append(held, header.data(), header.size()));
    std::vector<std::string> mine;
    for (int i = 0; i < 25; ++i) {
        ASSERT_TRUE(replay::Record(VERSION));
        mine.push_back(replay::RecordingPath());
        replay::Stop();
    }
    EXPECT_TRUE(fs::exists(running));
    // Twenty in all, it among them: the oldest that had ended went instead.
    for (size_t i = 0; i < mine.size(); ++i) EXPECT_EQ(fs::exists(mine[i]), i >= 6) << mine[i];
    journal::Close(held);
    // Once it has ended, it is the oldest like any other.
    ASSERT_TRUE(replay::Record(VERSION));
    EXPECT_FALSE(fs::exists(running));
}
