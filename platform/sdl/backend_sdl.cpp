// The real machine's events, clock and end: SDL's key and window events
// become the game's keyboard state.
#include <SDL.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "engine/keys.h"
#include "platform/sdl/sdl.h"

namespace {
// SDL key codes to the game's key table.
int GameKey(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + (int)(k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return '0' + (int)(k - SDLK_0);
    switch (k) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return KEY_ENTER;
    case SDLK_ESCAPE: return KEY_ESCAPE;
    case SDLK_SPACE: return KEY_SPACE;
    case SDLK_LEFT: return KEY_LEFT;
    case SDLK_UP: return KEY_UP;
    case SDLK_RIGHT: return KEY_RIGHT;
    case SDLK_DOWN: return KEY_DOWN;
    case SDLK_BACKSPACE: return KEY_BACKSPACE;
    case SDLK_TAB: return KEY_TAB;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return KEY_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return KEY_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return KEY_ALT;
    default: return -1;
    }
}
}  // namespace

Machine& LiveMachine() {
    static SdlMachine machine;
    return machine;
}

void SdlMachine::PumpEvents() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_KEYDOWN: KeyDownEvent(GameKey(e.key.keysym.sym)); break;
        case SDL_KEYUP: KeyUpEvent(GameKey(e.key.keysym.sym)); break;
        case SDL_QUIT: CloseEvent(); break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) FocusLostEvent();
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) CloseEvent();
            if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) WindowResized();
            break;
        default: break;
        }
    }
}

int32_t SdlMachine::ClockMs() {
    // Starts from the wall clock's milliseconds within a ~12-day cycle, so
    // each run seeds the dice differently, and runs steadily on from there
    // without coming near the 32-bit limit.
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    static const int64_t base =
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count() % 1000000000;
    return (int32_t)(base + duration_cast<milliseconds>(steady_clock::now() - start).count());
}

// The files are where they are kept already.
bool KeepFiles(const std::vector<std::string>&) { return true; }

// The disk's own errors are the only faults here.
int DiskFault(DiskChange, const std::string&) { return 0; }

void SdlMachine::Progress(uint64_t done, uint64_t total) {
    // Told only to a person at a terminal, and only once the check has
    // taken a moment: a short one, or one whose output goes to a file or a
    // pipe, says its verdict alone.
    using Clock = std::chrono::steady_clock;
    static Clock::time_point began = Clock::now();
    static int shown = -1;
    if (done == 0) {
        began = Clock::now();
        shown = -1;
    }
    if (total == 0 || !isatty(STDERR_FILENO)) return;
    if (done >= total) {
        if (shown >= 0) std::fprintf(stderr, "\r%60s\r", "");
        shown = -1;
        return;
    }
    const int percent = (int)(done * 100 / total);
    if (percent == shown || Clock::now() - began < std::chrono::milliseconds(500)) return;
    shown = percent;
    std::fprintf(stderr, "\rchecking the replay: %d%% (step %llu of %llu)", percent, (unsigned long long)done,
                 (unsigned long long)total);
}

void SdlMachine::EndProgram(int code) {
    std::fflush(stdout);
    CloseSound();
    // Closing the video library would talk to the dead display again.
    if (DisplayLost()) std::_Exit(1);
    SDL_Quit();
    std::exit(code);
}
