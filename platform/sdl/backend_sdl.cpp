// The real machine: an SDL window showing the logical frame scaled by a
// whole factor, the keyboard by SDL's key events, and sounds through
// SDL_mixer.
#include <SDL.h>
#include <SDL_mixer.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/backend.h"
#include "platform/platform.h"

namespace {
std::string caption = "Quillmoor";
SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
SDL_Rect target{0, 0, SCREENW, SCREENH};
int currentvsync = -1;

bool audiotried = false, audioready = false;
int channels = 16;

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

// Where the frame goes in the window: the whole factor that the window was
// made for, or, in a borderless stand-in for full screen, the largest whole
// factor that fits, centred.
void PlaceFrame(int scale) {
    int ow = 0, oh = 0;
    SDL_GetRendererOutputSize(renderer, &ow, &oh);
    int s = scale;
    while (s > 1 && (SCREENW * s > ow || SCREENH * s > oh)) --s;
    target = SDL_Rect{(ow - SCREENW * s) / 2, (oh - SCREENH * s) / 2, SCREENW * s, SCREENH * s};
}

void OpenAudio() {
    audiotried = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "no sound: %s\n", SDL_GetError());
        return;
    }
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 512) != 0) {
        std::fprintf(stderr, "no sound: %s\n", Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    Mix_AllocateChannels(channels);
    audioready = true;
}
}  // namespace

void SetWindowCaption(const char* text) {
    caption = text;
    if (window) SDL_SetWindowTitle(window, text);
}

bool CreateGraphics(int width, int height, int depth, int hertz, int) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "cannot open the window: %s\n", SDL_GetError());
        return false;
    }
    const int scale = width / SCREENW > 0 ? width / SCREENW : 1;
    const bool fullscreen = depth == 32;
    if (fullscreen) {
        window = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                  SDL_WINDOW_FULLSCREEN);
        bool exact = false;
        if (window) {
            SDL_DisplayMode want{SDL_PIXELFORMAT_RGB888, width, height, hertz, nullptr}, got;
            int display = SDL_GetWindowDisplayIndex(window);
            if (SDL_GetClosestDisplayMode(display < 0 ? 0 : display, &want, &got) && got.w == width &&
                got.h == height && SDL_SetWindowDisplayMode(window, &got) == 0 &&
                SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0)
                exact = true;
        }
        if (!exact) {
            std::fprintf(stderr, "the display has no %dx%d mode at %d Hz; using a borderless full-screen window\n",
                         width, height, hertz);
            if (window) SDL_DestroyWindow(window);
            window = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                      SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
        }
    } else {
        window = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, 0);
    }
    if (!window) {
        std::fprintf(stderr, "cannot open the window: %s\n", SDL_GetError());
        return false;
    }
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
        std::fprintf(stderr, "cannot draw in the window: %s\n", SDL_GetError());
        return false;
    }
    // Sharp square pixels: the filter must be chosen before the texture exists.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, SCREENW, SCREENH);
    if (!texture) {
        std::fprintf(stderr, "cannot draw in the window: %s\n", SDL_GetError());
        return false;
    }
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    PlaceFrame(scale);
    return true;
}

void Flip(int sync) {
    if (!renderer) return;
    if (sync != currentvsync) {
        SDL_RenderSetVSync(renderer, sync ? 1 : 0);
        currentvsync = sync;
    }
    SDL_UpdateTexture(texture, nullptr, framebuffer, SCREENW * 4);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, &target);
    SDL_RenderPresent(renderer);
}

void PumpEvents() {
    if (!window) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_KEYDOWN: KeyDownEvent(GameKey(e.key.keysym.sym)); break;
        case SDL_KEYUP: KeyUpEvent(GameKey(e.key.keysym.sym)); break;
        case SDL_QUIT: CloseEvent(); break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) FocusLostEvent();
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) CloseEvent();
            if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) PlaceFrame(target.w / SCREENW);
            break;
        default: break;
        }
    }
}

bool TSound::Load(const char* path) {
    name = path;
    if (!audiotried) OpenAudio();
    if (!audioready) return false;
    const EmbeddedFile* file = FindEmbedded(path);
    if (!file) {
        std::fprintf(stderr, "cannot load sound %s\n", path);
        return false;
    }
    chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(file->data, (int)file->size), 1);
    if (!chunk) std::fprintf(stderr, "cannot load sound %s: %s\n", path, Mix_GetError());
    return chunk != nullptr;
}

void TSound::Play() const {
    if (!audioready || !chunk) return;
    // Every sound of normal play is heard: when all channels are busy, make more.
    if (Mix_PlayChannel(-1, static_cast<Mix_Chunk*>(chunk), 0) < 0 && channels < 256) {
        channels *= 2;
        Mix_AllocateChannels(channels);
        Mix_PlayChannel(-1, static_cast<Mix_Chunk*>(chunk), 0);
    }
}

int32_t ClockMs() {
    // Starts from the wall clock's milliseconds within a ~12-day cycle, so
    // each run seeds the dice differently, and runs steadily on from there
    // without coming near the 32-bit limit.
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    static const int64_t base =
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count() % 1000000000;
    return (int32_t)(base + duration_cast<milliseconds>(steady_clock::now() - start).count());
}

void EndProgram() {
    std::fflush(stdout);
    if (audioready) Mix_CloseAudio();
    SDL_Quit();
    std::exit(0);
}
