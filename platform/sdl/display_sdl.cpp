// When the display goes away under a running game (its server stopped, the
// session ended), the X library's habit is to end the process at once: the
// player's last steps since the world was saved would be lost. Instead the
// game hears it as a close request, saves where the point it reached allows,
// as for the close button, and ends. The connection is dead by then, so
// whatever the video library still asks of it returns at once, and nothing
// spins drawing for nobody.
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>

#include "platform/backend.h"
#include "platform/sdl/sdl.h"

namespace {
bool lost = false;
}  // namespace

bool DisplayLost() { return lost; }

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>

namespace {
// The X library calls this instead of ending the process; the game ends
// itself once it has saved.
void CarryOn(Display*, void*) {}

int WentAway(Display* display) {
    if (!lost) {
        lost = true;
        std::fprintf(stderr, "the display %s went away\n", DisplayString(display));
        CloseEvent();
    }
    return 0;
}
}  // namespace

void WatchDisplay(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    XSetIOErrorHandler(WentAway);
    XSetIOErrorExitHandler(info.info.x11.display, CarryOn, nullptr);
}
#else
// Other displays report their loss as a quit event, which is a close request.
void WatchDisplay(SDL_Window*) {}
#endif
