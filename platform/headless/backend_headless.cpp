// The test machine behind headless.h.
#include <chrono>
#include <cstdio>
#include <map>

#include "engine/draw.h"
#include "engine/keys.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"

namespace {
struct Event {
    enum Kind { Down, Up, Focus, Close } kind;
    int key;
};

int32_t now = 0;
int framems = 16;
bool realclock = false;
int flips = 0, fliplimit = 0, lastsync = -1;  // set by Reset
std::vector<Event> pending;
std::multimap<int, std::function<void()>> script;
std::function<void()> everyflip;
std::vector<std::string> sounds;
headless::Window window;
std::string caption = "Quillmoor";
bool failwindow = false;
std::vector<std::pair<uint64_t, uint64_t>> progress;
// A loop that never ends fails its test instead of hanging the whole run.
constexpr int SAFETYFLIPS = 1000000;
}  // namespace

namespace headless {

void Reset() {
    now = 0;
    framems = 16;
    realclock = false;
    flips = 0;
    fliplimit = SAFETYFLIPS;
    lastsync = -1;
    pending.clear();
    script.clear();
    everyflip = nullptr;
    sounds.clear();
    window = Window{};
    failwindow = false;
    progress.clear();
    // The game on this machine itself again, whatever stood in front of it
    // (a replay must not be asked for the keys cleared below), and no event
    // the last test left waiting.
    UseMachine(LiveMachine());
    DrawNothing(false);
    ResetSession();
    ClearKeys();
    CloseRequested();
    ResetSession();
}

void SetFrameMs(int ms) { framems = ms; }
void UseRealClock(bool real) { realclock = real; }
void NextPass() { EndPass(); }
void NextStep() {
    EndPass();
    GrantStep(true);
}
void AdvanceClock(int ms) { now += ms; }
int32_t Now() { return now; }
void KeyDown(int key) { pending.push_back({Event::Down, key}); }
void KeyUp(int key) { pending.push_back({Event::Up, key}); }
void Tap(int key) {
    KeyDown(key);
    KeyUp(key);
}
void FocusLost() { pending.push_back({Event::Focus, 0}); }
void RequestClose() { pending.push_back({Event::Close, 0}); }
void At(int frame, std::function<void()> fn) { script.emplace(frame, std::move(fn)); }
void EveryFlip(std::function<void()> fn) { everyflip = std::move(fn); }
void SetFlipLimit(int n) { fliplimit = n; }
int Flips() { return flips; }
int LastSync() { return lastsync; }
uint32_t Pixel(int x, int y) {
    if (x < 0 || y < 0 || x >= SCREENW || y >= SCREENH) return 0;
    return framebuffer[y * SCREENW + x] & 0xFFFFFF;
}
const std::vector<std::string>& SoundsPlayed() { return sounds; }
void ClearSounds() { sounds.clear(); }
const Window& GetWindow() { return window; }
const std::vector<std::pair<uint64_t, uint64_t>>& ProgressShown() { return progress; }
void FailNextWindow() { failwindow = true; }

}  // namespace headless

namespace {
class HeadlessMachine : public LiveMachine {
public:
    bool OpenWindow(int width, int height, int depth, int hertz, int flags) override;
    void SetCaption(const char* text) override;
    void Present(int sync) override;
    bool LoadSound(TSound& sound, const char* path) override;
    void PlaySound(const TSound& sound) override;
    void Progress(uint64_t done, uint64_t total) override { progress.emplace_back(done, total); }
    int32_t ClockMs() override {
        if (!realclock) return now;
        using namespace std::chrono;
        return (int32_t)duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    [[noreturn]] void EndProgram(int code) override;

protected:
    void PumpEvents() override;
};

void HeadlessMachine::PumpEvents() {
    // Events are taken out first: a key handler may queue more.
    std::vector<Event> events;
    events.swap(pending);
    for (const Event& e : events) {
        switch (e.kind) {
        case Event::Down: KeyDownEvent(e.key); break;
        case Event::Up: KeyUpEvent(e.key); break;
        case Event::Focus: FocusLostEvent(); break;
        case Event::Close: CloseEvent(); break;
        }
    }
}

void HeadlessMachine::SetCaption(const char* text) {
    caption = text;
    window.caption = text;
}

bool HeadlessMachine::OpenWindow(int width, int height, int depth, int hertz, int) {
    if (failwindow) {
        failwindow = false;
        std::fprintf(stderr, "cannot open the window: no display\n");
        return false;
    }
    window = headless::Window{true, width, height, depth, hertz, caption};
    return true;
}

void HeadlessMachine::Present(int sync) {
    lastsync = sync;
    ++flips;
    now += framems;
    if (fliplimit > 0 && flips > fliplimit) throw headless::FlipLimitReached{};
    auto range = script.equal_range(flips);
    std::vector<std::function<void()>> due;
    for (auto it = range.first; it != range.second; ++it) due.push_back(it->second);
    script.erase(range.first, range.second);
    for (auto& fn : due) fn();
    if (everyflip) everyflip();
}

bool HeadlessMachine::LoadSound(TSound& sound, const char* path) {
    sound.name = path;
    return FindEmbedded(path) != nullptr;
}

void HeadlessMachine::PlaySound(const TSound& sound) { sounds.push_back(sound.name); }

void HeadlessMachine::EndProgram(int code) {
    std::fflush(stdout);
    throw headless::ProgramEnded{code};
}
}  // namespace

Machine& LiveMachine() {
    static HeadlessMachine machine;
    return machine;
}

bool KeepFiles(const std::vector<std::string>&) { return true; }
