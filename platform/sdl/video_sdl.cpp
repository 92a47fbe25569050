// Choosing where the window is shown. The video library, when the display
// it was asked for does not answer, falls back on drivers that draw into
// memory: the game would then run on for nobody, unseen and impossible to
// close. Only a driver that shows a window to a person is taken, unless the
// player names another in SDL_VIDEODRIVER.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/sdl/sdl.h"

namespace {
bool ShowsNothing(const char* driver) {
    for (const char* hidden : {"offscreen", "dummy", "evdev"})
        if (SDL_strcasecmp(driver, hidden) == 0) return true;
    return false;
}

const char* Named(const char* variable) {
    const char* value = SDL_getenv(variable);
    return value && *value ? value : nullptr;
}

bool TryOnce() {
    // A video driver that finds no display may say so at length on stderr
    // (the Wayland one does, about its runtime folder).
    QuietErrors quiet;
    if (Named("SDL_VIDEODRIVER")) return SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const char* driver = SDL_GetVideoDriver(i);
        if (!driver || ShowsNothing(driver)) continue;
        // Above an empty SDL_VIDEODRIVER, which the library would otherwise
        // read as "any driver".
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, driver, SDL_HINT_OVERRIDE);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0) return true;
    }
    return false;
}

// Why, in the player's terms: which display was tried. The library's own
// message after a failed start names none.
std::string Reason() {
    const char* x = Named("DISPLAY");
    const char* wayland = Named("WAYLAND_DISPLAY");
    const char* driver = Named("SDL_VIDEODRIVER");
    std::string why;
    if (!x && !wayland) {
        why = "no display is named (DISPLAY and WAYLAND_DISPLAY are not set)";
    } else {
        why = "no display answered at ";
        if (x) why += std::string("DISPLAY=") + x;
        if (x && wayland) why += " or ";
        if (wayland) why += std::string("WAYLAND_DISPLAY=") + wayland;
    }
    if (driver) why += std::string(" with SDL_VIDEODRIVER=") + driver;
    return why;
}
}  // namespace

bool StartVideo() {
    // A display server busy with other programs may turn a connection away
    // for a moment, and one started with the game may not be up yet: it is
    // asked again for about a second before the game gives up.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(1000);
    while (!TryOnce()) {
        if (Clock::now() >= end) {
            std::fprintf(stderr, "cannot open the window: %s\n", Reason().c_str());
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}
