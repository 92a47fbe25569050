// Watching a replay in the window as a person would, with the viewer's
// keys: paused, the picture holds still and a step goes one update on; a
// seek back or forward lands on the very state playing straight there
// reaches, and writes nothing; the speeds change what the bar says and how fast the steps go;
// at the end the last frame stays until the viewer leaves.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/draw.h"
#include "engine/keys.h"
#include "replay/replay.h"
#include "shell/shell.h"
#include "testutil.h"

namespace {
// Real play kept among the tests: some 50 seconds, 2989 steps.
const std::string KEPT = std::string(QUILLMOOR_SOURCE_DIR) + "/tests/replays/first_start.replay";

// One frame as it reached the display.
struct Frame {
    replay::WatchState state;
    uint64_t digest = 0;
    uint64_t picture = 0;  // the frame beneath the bar, summed
    uint32_t bar = 0;      // a pixel of the bar's line (its place)
};

struct Watched {
    int code = -1;
    std::string out;
    std::vector<Frame> frames;
};

uint64_t Picture() {
    uint64_t h = 1469598103934665603ull;
    for (int i = 11 * SCREENW; i < SCREENW * SCREENH; ++i) h = (h ^ framebuffer[i]) * 1099511628211ull;
    return h;
}

// Watches the kept replay in the window, at frames of 16 ms, with keys
// tapped at the frames given; it is closed at the frame `close`, or at the
// first frame it holds at its end when 0, or by its keys alone when less.
Watched Watch(const std::vector<std::pair<int, int>>& keys, int close = 0, std::function<void()> also = nullptr) {
    headless::Reset();
    ResetGameState();
    headless::SetFlipLimit(40000);
    Watched w;
    std::string why;
    replay::DrawBarWith(DrawReplayBar);
    if (!replay::PlayFile(KEPT, true, QUILLMOOR_VERSION, why)) {
        w.out = why;
        return w;
    }
    for (const auto& [frame, key] : keys) headless::At(frame, [key = key] { headless::Tap(key); });
    if (also) also();
    headless::EveryFlip([&w, close] {
        Frame f;
        f.state = replay::Watched();
        f.digest = StateDigest();
        f.picture = Picture();
        f.bar = headless::Pixel(0, 10);
        w.frames.push_back(f);
        if (close > 0 ? headless::Flips() == close : close == 0 && f.state.end != replay::End::No)
            headless::RequestClose();
    });
    w.code = RunGameToEnd(w.out);
    return w;
}

// The state at each step, at the first frame that shows it.
std::map<uint64_t, uint64_t> ByStep(const Watched& w) {
    std::map<uint64_t, uint64_t> at;
    for (const Frame& f : w.frames) at.emplace(f.state.step, f.digest);
    return at;
}

class ViewerTest : public GameTest {};
}  // namespace

TEST_F(ViewerTest, PausedThePictureHoldsStillAndAStepGoesOneUpdateOn) {
    // In the home area, running about.
    const Watched w = Watch({{1500, KEY_SPACE}, {1700, KEY_PERIOD}, {1800, KEY_PERIOD}, {1801, KEY_PERIOD}}, 1900);
    ASSERT_EQ(w.code, 0) << w.out;
    ASSERT_EQ(w.frames.size(), 1900u);
    const Frame& paused = w.frames[1500];
    EXPECT_TRUE(paused.state.paused);
    EXPECT_GT(paused.state.step, 500u);
    // Two hundred frames paused: not a step, not a pixel beneath the bar.
    for (size_t i = 1500; i < 1699; ++i) {
        EXPECT_EQ(w.frames[i].state.step, paused.state.step) << i;
        EXPECT_EQ(w.frames[i].picture, paused.picture) << i;
        EXPECT_EQ(w.frames[i].digest, paused.digest) << i;
    }
    // Each step one update, and held again after it.
    EXPECT_EQ(w.frames[1750].state.step, paused.state.step + 1);
    EXPECT_NE(w.frames[1750].picture, paused.picture);
    EXPECT_TRUE(w.frames[1750].state.paused);
    EXPECT_EQ(w.frames[1850].state.step, paused.state.step + 3);
    EXPECT_EQ(w.out, "replay closed at step " + std::to_string(paused.state.step + 3) + "\n");
}

TEST_F(ViewerTest, ASeekBackOrForwardLandsOnTheStatePlayingStraightThereReaches) {
    const std::map<uint64_t, uint64_t> straight = ByStep(Watch({}));
    ASSERT_EQ(straight.rbegin()->first, 2989u);
    // Forward 10 s, a minute back (to the start), forward a minute, back
    // 10 s, paused there, to the end, and back from the end to the start;
    // then asked for a step as the page's timeline asks, back and forward.
    const Watched w = Watch({{100, KEY_RIGHT},
                             {200, KEY_PAGEUP},
                             {300, KEY_PAGEDOWN},
                             {400, KEY_LEFT},
                             {401, KEY_SPACE},
                             {500, KEY_END},
                             {600, KEY_HOME},
                             {700, KEY_SPACE}},
                            1100, [] {
                                headless::At(900, [] { replay::SeekTo(1234); });
                                headless::At(1000, [] { replay::SeekTo(600); });
                            });
    ASSERT_EQ(w.code, 0) << w.out;
    const auto landed = [&](int frame) { return w.frames[(size_t)frame - 1].state.step; };
    const uint64_t before = landed(100);
    EXPECT_EQ(landed(101), before + 600);
    EXPECT_EQ(landed(201), 0u);
    EXPECT_EQ(landed(301), 2989u);  // a minute on is past the end: the end
    EXPECT_EQ(landed(401), 2989u - 600u);
    EXPECT_EQ(landed(500), 2989u - 600u);  // paused there
    EXPECT_EQ(landed(501), 2989u);
    EXPECT_TRUE(w.frames[500].state.paused);
    EXPECT_EQ(landed(601), 0u);
    EXPECT_EQ(landed(700), 0u);  // still paused, at the start
    EXPECT_GT(landed(900), 150u);
    EXPECT_EQ(landed(901), 1234u);
    EXPECT_EQ(landed(1001), 600u);
    // Every step shown, however it was come to, is the state straight play
    // had there.
    size_t compared = 0;
    for (const Frame& f : w.frames) {
        const auto s = straight.find(f.state.step);
        ASSERT_NE(s, straight.end()) << f.state.step;
        EXPECT_EQ(f.digest, s->second) << "at step " << f.state.step;
        ++compared;
    }
    EXPECT_EQ(compared, 1100u);
    // Starting over and over, it wrote nothing where it was watched.
    EXPECT_TRUE(std::filesystem::is_empty(".")) << "files were written while watching";
}

TEST_F(ViewerTest, TheSpeedsChangeWhatTheBarSaysAndHowFastTheStepsGo) {
    // Up twice (4x), then Down four times (a quarter), then Up to the top:
    // as fast as it goes, the rest of the replay is over in a few frames.
    const Watched w = Watch({{100, KEY_UP},
                             {101, KEY_UP},
                             {300, KEY_DOWN},
                             {301, KEY_DOWN},
                             {302, KEY_DOWN},
                             {303, KEY_DOWN},
                             {500, KEY_UP},
                             {501, KEY_UP},
                             {502, KEY_UP},
                             {503, KEY_UP},
                             {504, KEY_UP},
                             {505, KEY_UP},
                             {506, KEY_UP},
                             {507, KEY_UP}},
                            0);
    ASSERT_EQ(w.code, 0) << w.out;
    const auto steps = [&](int from, int to) { return w.frames[(size_t)to].state.step - w.frames[(size_t)from].state.step; };
    EXPECT_EQ(w.frames[50].state.quarters, 4);
    EXPECT_EQ(w.frames[150].state.quarters, 16);
    EXPECT_EQ(w.frames[350].state.quarters, 1);
    EXPECT_EQ(w.frames[510].state.quarters, 0);
    // A frame is 16 ms: about a step a frame at the recorded speed, four at
    // 4x, a quarter at a quarter; as fast as it goes, many more than 16.
    EXPECT_NEAR((double)steps(20, 100), 80 * 0.96, 4);
    EXPECT_NEAR((double)steps(120, 300), 180 * 3.84, 8);
    EXPECT_NEAR((double)steps(320, 500), 180 * 0.24, 3);
    ASSERT_EQ(w.frames.back().state.end, replay::End::Ended);
    EXPECT_LT(w.frames.size(), 520u);
    EXPECT_GT(2989 - w.frames[508].state.step, 10u * 16u);
}

TEST_F(ViewerTest, AtTheEndTheLastFrameStaysUntilTheViewerLeaves) {
    const Watched w = Watch({{10, KEY_END}, {300, KEY_ESCAPE}}, -1);
    ASSERT_EQ(w.code, 0) << w.out;
    // Closed by Escape at frame 300, not at the end (the first frame held).
    ASSERT_GE(w.frames.size(), 300u);
    const Frame& end = w.frames[100];
    EXPECT_EQ(end.state.end, replay::End::Ended);
    EXPECT_EQ(end.state.step, 2989u);
    for (size_t i = 100; i < 299; ++i) EXPECT_EQ(w.frames[i].picture, end.picture) << i;
    EXPECT_EQ(w.out, "replay ended: 2989 steps\n");
}

TEST_F(ViewerTest, TheBarHidesAfterAFewSecondsWithoutAKeyAndAnyKeyBringsItBack) {
    // W is no key of the viewer's, and still brings the bar back.
    const Watched w = Watch({{400, KEY_W}}, 500);
    ASSERT_EQ(w.code, 0) << w.out;
    // The line under the bar, how far through the replay is, starts at its
    // left edge in the colour of the game's frames (192, 160, 128).
    const uint32_t line = 0xC0A080;
    EXPECT_EQ(w.frames[100].bar, line);
    // Three seconds are some 188 frames of 16 ms.
    EXPECT_EQ(w.frames[180].bar, line);
    EXPECT_NE(w.frames[200].bar, line);
    EXPECT_NE(w.frames[399].bar, line);
    EXPECT_EQ(w.frames[401].bar, line);
}
