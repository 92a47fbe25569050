// The game's one window. It is made once, with the flags its way of
// presenting needs, and stays hidden until it can show the first frame, so
// nothing ever sees a window that is about to be replaced.
//
// Two ways of presenting give the same pixels. Where a graphics card draws,
// the frame is uploaded as a texture and the card scales it. Where drawing
// is done in software anyway, scaling through the graphics library costs
// several milliseconds a frame at the larger sizes; there the frame is
// enlarged here, row by row, straight into the window's own pixels.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "engine/draw.h"
#include "platform/sdl/sdl.h"
#include "platform/sdl/upscale.h"

namespace {
std::string caption = "Quillmoor";
SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
SDL_Surface* surface = nullptr;  // the window's pixels, on the surface path
int surfacew = 0, surfaceh = 0;
PresentPath wanted = PresentPath::Automatic, inuse = PresentPath::Texture;
int scale = 1;                    // the factor the window was made for
SDL_Rect target{0, 0, SCREENW, SCREENH};
bool fits = true;                 // the frame fits in the window at factor 1 at least
bool replace = false;             // the window changed size: place the frame again
int currentvsync = -1;

// On the surface path nothing waits for the display, so a frame asked to
// wait for it is held back to the display's rate instead.
using Clock = std::chrono::steady_clock;
Clock::time_point nextframe;
Clock::duration frameperiod = std::chrono::nanoseconds(1000000000 / 60);

// A graphics library that draws in software presents slower than our own
// enlarging: the window's own pixels are the cheaper path there.
bool DrawnInSoftware(SDL_Renderer* r) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(r, &info) != 0 || (info.flags & SDL_RENDERER_SOFTWARE)) return true;
    if (std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned);
    auto getstring = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getstring ? getstring(0x1F01 /* the renderer's name */) : nullptr;
    if (!name) return false;
    for (const char* soft : {"llvmpipe", "softpipe", "swrast", "Software", "software", "SWR"})
        if (std::strstr(reinterpret_cast<const char*>(name), soft)) return true;
    return false;
}

// Where the frame goes: the whole factor the window was made for or, in a
// full-screen stand-in smaller than that, the largest that fits, centred.
void PlaceFrame(int ow, int oh) {
    int s = scale;
    while (s > 1 && (SCREENW * s > ow || SCREENH * s > oh)) --s;
    fits = SCREENW * s <= ow && SCREENH * s <= oh;
    target = SDL_Rect{(ow - SCREENW * s) / 2, (oh - SCREENH * s) / 2, SCREENW * s, SCREENH * s};
}

bool MakeTexture() {
    // Sharp square pixels: the filter must be chosen before the texture exists.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, SCREENW, SCREENH);
    if (!texture) return false;
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    int ow = 0, oh = 0;
    SDL_GetRendererOutputSize(renderer, &ow, &oh);
    PlaceFrame(ow, oh);
    return true;
}

// The frame's words are 0xAARRGGBB; the window's pixels must be the same
// 32-bit layout for the enlarged rows to be copied in as they are.
bool TakeSurface() {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Surface* s = SDL_GetWindowSurface(window);
    if (!s) return false;
    const uint32_t f = s->format->format;
    if (f != SDL_PIXELFORMAT_RGB888 && f != SDL_PIXELFORMAT_ARGB8888) return false;
    surface = s;
    surfacew = s->w;
    surfaceh = s->h;
    SDL_FillRect(s, nullptr, 0);
    PlaceFrame(s->w, s->h);
    return true;
}

// The window's icon: the head of the player's marker, seen from the front,
// each pixel a 4x4 block so the window system shrinks it rather than blurs it.
void SetIcon() {
    TImage marker;
    if (!marker.LoadAnim("gfx\\playericon.png", 16, 16, 0, 4)) return;
    constexpr int K = 4, ROWS = 12, SIZE = 16 * K;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, SIZE, SIZE, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_FillRect(icon, nullptr, 0);
    const uint32_t* face = marker.Frame(2);
    const int top = (16 - ROWS) / 2;
    for (int y = 0; y < ROWS; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint32_t p = face[y * 16 + x];
            if (p == 0) continue;  // a hole stays clear
            SDL_Rect block{x * K, (top + y) * K, K, K};
            SDL_FillRect(icon, &block, 0xFF000000u | p);
        }
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

void WaitForDisplay() {
    const Clock::time_point now = Clock::now();
    if (now < nextframe) {
        std::this_thread::sleep_until(nextframe);
        nextframe += frameperiod;
    } else {
        // Late by a frame or more: start counting again from now.
        nextframe = now - nextframe < frameperiod ? nextframe + frameperiod : now + frameperiod;
    }
}

void PresentSurface(int sync) {
    SDL_Surface* s = SDL_GetWindowSurface(window);
    if (!s) return;
    if (replace || s != surface || s->w != surfacew || s->h != surfaceh) {
        replace = false;
        if (!TakeSurface()) return;
    }
    if (fits) {
        if (SDL_MUSTLOCK(s)) SDL_LockSurface(s);
        uint32_t* dst = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + (size_t)target.y * s->pitch) +
                        target.x;
        UpscaleFrame(framebuffer, dst, s->pitch / 4, target.w / SCREENW);
        if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    }
    if (sync) WaitForDisplay();
    SDL_UpdateWindowSurface(window);
}

void DrawTexture() {
    SDL_UpdateTexture(texture, nullptr, framebuffer, SCREENW * 4);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, &target);
}

void PresentTexture(int sync) {
    if (replace) {
        replace = false;
        int ow = 0, oh = 0;
        SDL_GetRendererOutputSize(renderer, &ow, &oh);
        PlaceFrame(ow, oh);
    }
    if (sync != currentvsync) {
        SDL_RenderSetVSync(renderer, sync ? 1 : 0);
        currentvsync = sync;
    }
    DrawTexture();
    SDL_RenderPresent(renderer);
}
}  // namespace

void ChoosePresentPath(PresentPath path) { wanted = path; }
PresentPath PresentPathInUse() { return inuse; }

const char* PresentPathName(PresentPath path) {
    switch (path) {
    case PresentPath::Texture: return "texture";
    case PresentPath::Surface: return "window pixels";
    default: return "automatic";
    }
}

void WindowResized() { replace = true; }

void SdlMachine::SetCaption(const char* text) {
    caption = text;
    if (window) SDL_SetWindowTitle(window, text);
}

bool SdlMachine::OpenWindow(int width, int height, int depth, int hertz, int) {
    if (!StartVideo()) return false;
    scale = width / SCREENW > 0 ? width / SCREENW : 1;

    // Full screen: the display's exact mode when it has one, otherwise a
    // borderless window over the whole display. Asked before the window is
    // made, so it is made only once.
    Uint32 flags = SDL_WINDOW_HIDDEN;
    SDL_DisplayMode mode{};
    bool exact = false;
    if (depth == 32) {
        SDL_DisplayMode want{SDL_PIXELFORMAT_RGB888, width, height, hertz, nullptr};
        exact = SDL_GetClosestDisplayMode(0, &want, &mode) && mode.w == width && mode.h == height;
        if (exact) {
            flags |= SDL_WINDOW_FULLSCREEN;
        } else {
            std::fprintf(stderr, "the display has no %dx%d mode at %d Hz; using a borderless full-screen window\n",
                         width, height, hertz);
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
        }
    }

    // The graphics card's renderer needs an OpenGL window; made without it,
    // the window would be made again when the renderer is attached.
    if (wanted != PresentPath::Surface)
        window = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                  flags | SDL_WINDOW_OPENGL);
    if (!window)
        window = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                  flags);
    if (!window) {
        std::fprintf(stderr, "cannot open the window: %s\n", SDL_GetError());
        return false;
    }
    if (exact) SDL_SetWindowDisplayMode(window, &mode);

    if (SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) {
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
        if (renderer && wanted == PresentPath::Automatic && DrawnInSoftware(renderer)) {
            SDL_DestroyRenderer(renderer);
            renderer = nullptr;
        }
    }
    if (!renderer && TakeSurface()) {
        inuse = PresentPath::Surface;
    } else {
        // The window's pixels cannot take the frame as it is: let the
        // graphics library scale it, in software if it must.
        if (!renderer) renderer = SDL_CreateRenderer(window, -1, 0);
        if (!renderer || !MakeTexture()) {
            std::fprintf(stderr, "cannot draw in the window: %s\n", SDL_GetError());
            return false;
        }
        inuse = PresentPath::Texture;
    }

    SDL_DisplayMode shown;
    if (SDL_GetWindowDisplayMode(window, &shown) == 0 && shown.refresh_rate > 0)
        frameperiod = std::chrono::nanoseconds(1000000000 / shown.refresh_rate);
    nextframe = Clock::now();
    SetIcon();
    WatchDisplay(window);
    SDL_ShowWindow(window);
    return true;
}

void SdlMachine::Present(int sync) {
    if (!window) return;
    if (inuse == PresentPath::Surface)
        PresentSurface(sync);
    else
        PresentTexture(sync);
}

bool ReadPresented(std::vector<uint32_t>& pixels, int& width, int& height) {
    if (!window) return false;
    if (inuse == PresentPath::Surface) {
        if (!surface) return false;
        width = surface->w;
        height = surface->h;
        pixels.resize((size_t)width * height);
        for (int y = 0; y < height; ++y) {
            const uint32_t* row =
                reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(surface->pixels) + (size_t)y * surface->pitch);
            for (int x = 0; x < width; ++x) pixels[(size_t)y * width + x] = row[x] & 0xFFFFFF;
        }
        return true;
    }
    // What the card would present: drawn again and read before presenting.
    if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0) return false;
    pixels.resize((size_t)width * height);
    DrawTexture();
    if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), width * 4) != 0) return false;
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return true;
}
