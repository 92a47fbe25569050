// One overworld-sized frame of the built-in pictures: a clear, 608 masked
// 16x16 tiles covering the screen (a third of them tinted), 20 sprites and
// 30 characters of text.
// Drawn by the game's own drawing and, for comparison, by SDL's software
// renderer with a colour mod per draw; both must give the same pixels.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "engine/draw.h"

namespace {
// A built-in picture, and the same picture as plain RGB for SDL: its frames
// side by side in one strip.
struct Sheet {
    TImage image;
    std::vector<uint8_t> rgb;
    int w, h;
};

Sheet LoadSheet(const char* path, int cw, int ch, int frames) {
    Sheet s;
    if (!s.image.LoadAnim(path, cw, ch, 0, frames)) std::exit(1);
    s.w = cw * frames;
    s.h = ch;
    s.rgb.assign((size_t)s.w * s.h * 3, 0);
    for (int f = 0; f < frames; ++f)
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) {
                uint32_t p = s.image.Frame(f)[y * cw + x];
                uint8_t* o = &s.rgb[((size_t)y * s.w + f * cw + x) * 3];
                o[0] = (uint8_t)(p >> 16);
                o[1] = (uint8_t)(p >> 8);
                o[2] = (uint8_t)p;
            }
    return s;
}

struct Draw {
    const Sheet* sheet;
    int x, y, frame, r, g, b;
};

// The overworld mid-slide: the seven terrain tiles, a third of them dimmed
// or shimmering, then creatures and a line of text.
std::vector<Draw> BuildFrame(const Sheet& tiles, const Sheet& sprites, const Sheet& font) {
    std::vector<Draw> draws;
    int n = 0;
    for (int ty = 0; ty < 19; ++ty)
        for (int tx = 0; tx < 32; ++tx, ++n) {
            const bool tinted = n % 3 == 0;
            const int grey = !tinted ? 255 : n % 2 ? 192 : 223 + 8 * (n % 5);
            draws.push_back({&tiles, tx * 16 - 8, ty * 16 - 9, (n * 5) % 7, grey, grey, grey});
        }
    for (int i = 0; i < 20; ++i) {
        const bool tinted = i % 2 == 1;
        draws.push_back({&sprites, 30 + i * 21, 100 + (i % 5) * 13, i % 4 + 8 * (i % 2), 255, tinted ? 128 : 255,
                         tinted ? 128 : 255});
    }
    for (int i = 0; i < 30; ++i) draws.push_back({&font, 4 + i * 4, 4, 33 + i, 255, 255, i < 15 ? 255 : 128});
    return draws;
}

void DrawOurs(const std::vector<Draw>& draws) {
    Cls();
    for (const Draw& d : draws) {
        SetColor(d.r, d.g, d.b);
        DrawSprite(d.sheet->image, d.x, d.y, d.frame);
    }
}

struct SoftwareScreen {
    SDL_Surface* target = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::map<const Sheet*, SDL_Texture*> textures;

    explicit SoftwareScreen(const std::vector<const Sheet*>& sheets) {
        target = SDL_CreateRGBSurfaceWithFormat(0, SCREENW, SCREENH, 32, SDL_PIXELFORMAT_ARGB8888);
        renderer = SDL_CreateSoftwareRenderer(target);
        for (const Sheet* s : sheets) {
            SDL_Surface* surf = SDL_CreateRGBSurfaceWithFormatFrom((void*)s->rgb.data(), s->w, s->h, 24, s->w * 3,
                                                                   SDL_PIXELFORMAT_RGB24);
            SDL_SetColorKey(surf, SDL_TRUE, SDL_MapRGB(surf->format, 0, 0, 0));
            textures[s] = SDL_CreateTextureFromSurface(renderer, surf);
            SDL_FreeSurface(surf);
        }
    }
    ~SoftwareScreen() {
        for (auto& t : textures) SDL_DestroyTexture(t.second);
        SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(target);
    }
    void DrawFrame(const std::vector<Draw>& draws) {
        SDL_SetRenderDrawColor(renderer, 32, 24, 16, 255);
        SDL_RenderClear(renderer);
        for (const Draw& d : draws) {
            SDL_Texture* t = textures[d.sheet];
            const TImage& img = d.sheet->image;
            SDL_Rect src{d.frame * img.cellw, 0, img.cellw, img.cellh};
            SDL_Rect dst{d.x, d.y, img.cellw, img.cellh};
            SDL_SetTextureColorMod(t, (Uint8)d.r, (Uint8)d.g, (Uint8)d.b);
            SDL_RenderCopy(renderer, t, &src, &dst);
        }
        SDL_RenderFlush(renderer);
    }
    uint32_t Pixel(int x, int y) const { return ((const uint32_t*)target->pixels)[y * (target->pitch / 4) + x] & 0xFFFFFF; }
};

Sheet tiles, sprites, font;
std::vector<Draw> frame;

void BM_OverworldFrame(benchmark::State& state) {
    SetClsColor(32, 24, 16);
    for (auto _ : state) {
        DrawOurs(frame);
        benchmark::DoNotOptimize(framebuffer[SCREENW * SCREENH / 2]);
    }
    state.SetLabel("game drawing");
}
BENCHMARK(BM_OverworldFrame)->Unit(benchmark::kMicrosecond);

void BM_OverworldFrameSDLSoftware(benchmark::State& state) {
    SoftwareScreen screen({&tiles, &sprites, &font});
    for (auto _ : state) screen.DrawFrame(frame);
    state.SetLabel("SDL software renderer");
}
BENCHMARK(BM_OverworldFrameSDLSoftware)->Unit(benchmark::kMicrosecond);

// Keeps the time per iteration of each run to report the ratio afterwards.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ns;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                ns[r.benchmark_name()] = r.GetAdjustedRealTime() * 1000.0;  // reported in microseconds
        ConsoleReporter::ReportRuns(runs);
    }
};

bool SamePixels() {
    SetClsColor(32, 24, 16);
    DrawOurs(frame);
    SoftwareScreen screen({&tiles, &sprites, &font});
    screen.DrawFrame(frame);
    int differ = 0;
    for (int y = 0; y < SCREENH; ++y)
        for (int x = 0; x < SCREENW; ++x)
            if ((framebuffer[y * SCREENW + x] & 0xFFFFFF) != screen.Pixel(x, y)) {
                if (differ++ < 5)
                    std::fprintf(stderr, "pixel %d,%d: game %06x, SDL %06x\n", x, y,
                                 framebuffer[y * SCREENW + x] & 0xFFFFFF, screen.Pixel(x, y));
            }
    return differ == 0;
}
}  // namespace

int main(int argc, char** argv) {
    tiles = LoadSheet("gfx\\overworld.png", 16, 16, 256);
    sprites = LoadSheet("gfx\\player.png", 16, 16, 16);
    font = LoadSheet("gfx\\font.png", 4, 5, 128);
    frame = BuildFrame(tiles, sprites, font);
    bool same = SamePixels();
    std::printf("pixels identical to SDL's software renderer: %s\n", same ? "yes" : "NO");
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double ours = reporter.ns["BM_OverworldFrame"], theirs = reporter.ns["BM_OverworldFrameSDLSoftware"];
    if (ours > 0 && theirs > 0)
        std::printf("overworld frame: %.0f ns (game) vs %.0f ns (SDL software): %.1f times faster\n", ours, theirs,
                    theirs / ours);
    benchmark::Shutdown();
    return same ? 0 : 1;
}
