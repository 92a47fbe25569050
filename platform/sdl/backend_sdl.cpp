// The real machine's events, clock and end: SDL's key and window events
// become the game's keyboard state.
#include <SDL.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/keytable.h"
#include "platform/sdl/sdl.h"

namespace {
// The key table's desktop names as SDL key codes, looked up once: a key is
// the key the player's layout names so.
struct SdlKey {
    SDL_Keycode sym;
    int key;
};

const std::vector<SdlKey>& SdlKeys() {
    static const std::vector<SdlKey> keys = [] {
        std::vector<SdlKey> found;
        for (const KeyName& k : keytable) {
            if (!k.desktop) continue;
            const SDL_Keycode sym = SDL_GetKeyFromName(k.desktop);
            // A name SDL does not know is a fault of the table, said at once.
            if (sym == SDLK_UNKNOWN)
                std::fprintf(stderr, "no key is named %s\n", k.desktop);
            else
                found.push_back({sym, k.key});
        }
        return found;
    }();
    return keys;
}

// SDL key codes to the game's key codes; -1 for a key that is not the game's.
int GameKey(SDL_Keycode sym) {
    for (const SdlKey& k : SdlKeys())
        if (k.sym == sym) return k.key;
    return -1;
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

bool SdlMachine::ErrorsToTerminal() { return isatty(STDERR_FILENO); }

void SdlMachine::EndProgram(int code) {
    std::fflush(stdout);
    CloseSound();
    // Closing the video library would talk to the dead display again.
    if (DisplayLost()) std::_Exit(1);
    SDL_Quit();
    std::exit(code);
}
