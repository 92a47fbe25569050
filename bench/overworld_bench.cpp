// The overworld's heavy moments: making a world's map, drawing a full
// overworld frame, and saving and loading a world with its flush to disk.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "engine/draw.h"
#include "engine/dice.h"
#include "base/assets.h"
#include "base/base.h"

namespace {
// Pictures like the game's where the game's are not built in yet: flat tiles
// with a few holes, a village of houses over a transparent ground.
void EnsurePictures() {
    LoadAssets();
    auto fill = [](TImage& img, int w, int h, int cw, int ch, int holes) {
        if (img.frames > 0) return;
        std::vector<uint8_t> rgb((size_t)w * h * 3);
        for (int i = 0; i < w * h; ++i) {
            const bool hole = holes && (i * 7919) % holes == 0;
            rgb[i * 3] = hole ? 0 : (uint8_t)(40 + i % 200);
            rgb[i * 3 + 1] = hole ? 0 : (uint8_t)(90 + i % 150);
            rgb[i * 3 + 2] = hole ? 0 : 60;
        }
        img.FromRGB(rgb.data(), w, h, cw, ch, 0, (w / cw) * (h / ch));
    };
    fill(gfxoverworld, 256, 256, 16, 16, 0);
    fill(gfxvillage, 16, 16, 16, 16, 2);
    fill(gfxplayericon, 32, 32, 16, 16, 3);
    fill(gfxexp, 8, 8, 8, 8, 4);
    fill(gfxbag, 8, 8, 8, 8, 4);
    fill(gfxgold, 8, 8, 8, 8, 4);
    fill(gfxfont, 64, 40, 4, 5, 2);
}

// A played world: its map, and a wide patch of it known around the marker,
// some of it claimed, so every kind of tile is in view.
void PlayedWorld() {
    SeedRand(12345);
    MakeWorldMap();
    for (int x = homex - 12; x <= homex + 12; ++x)
        for (int y = homey - 7; y <= homey + 7; ++y)
            if (InWorld(x, y) && EncounterAt(x, y) == encounters::wild)
                encountertype[x][y] = (x + y) % 5 == 0 ? encounters::claimed : encounters::cleared;
    marker.f = 1;
    marker.moving = 3;
    level = 3;
    player::exp = 9;
    gold = 4321;
    for (int i = 0; i < 22; ++i) invitem[i % 5][i / 5] = 1;
}

void BM_MakeWorldMap(benchmark::State& state) {
    int32_t seed = 1;
    for (auto _ : state) {
        SeedRand(seed++);
        MakeWorldMap();
        benchmark::DoNotOptimize(terrain[homex][homey]);
    }
    state.SetLabel("clear to villages");
}
BENCHMARK(BM_MakeWorldMap)->Unit(benchmark::kMillisecond);

void BM_DrawOverworld(benchmark::State& state) {
    EnsurePictures();
    PlayedWorld();
    for (auto _ : state) {
        DrawOverworld();
        benchmark::DoNotOptimize(framebuffer[SCREENW * SCREENH / 2]);
    }
    state.SetLabel("full frame, 608 tiles and HUD");
}
BENCHMARK(BM_DrawOverworld)->Unit(benchmark::kMicrosecond);

// The dearest frame there is: every tile in view claimed, each drawing its
// own shimmer and tinted.
void BM_DrawOverworldAllClaimed(benchmark::State& state) {
    EnsurePictures();
    PlayedWorld();
    for (int x = marker.x - 16; x <= marker.x + 17; ++x)
        for (int y = marker.y - 10; y <= marker.y + 10; ++y)
            if (InWorld(x, y)) encountertype[x][y] = encounters::claimed;
    for (auto _ : state) {
        DrawOverworld();
        benchmark::DoNotOptimize(framebuffer[SCREENW * SCREENH / 2]);
    }
    state.SetLabel("every tile claimed");
}
BENCHMARK(BM_DrawOverworldAllClaimed)->Unit(benchmark::kMicrosecond);

void BM_SaveAndLoadWorld(benchmark::State& state) {
    PlayedWorld();
    WORLDNAME = "Benchmark";
    for (auto _ : state) {
        SaveWorld();
        if (!LoadWorld()) state.SkipWithError("the saved world did not load");
    }
    state.SetLabel("both files, flushed to disk");
}
BENCHMARK(BM_SaveAndLoadWorld)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    // The world files go to a scratch folder on the same disk as the game's,
    // and the save's diagnostic lines are kept out of the report.
    const auto dir = std::filesystem::current_path() / ("overworld-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "worlds");
    std::filesystem::current_path(dir);
    std::fflush(stdout);
    const int report = dup(1);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);

    benchmark::Initialize(&argc, argv);
    benchmark::ConsoleReporter reporter;
    std::ofstream stream("/dev/fd/" + std::to_string(report));
    reporter.SetOutputStream(&stream);
    reporter.SetErrorStream(&stream);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    stream.close();
    close(report);

    std::filesystem::current_path(dir.parent_path());
    std::filesystem::remove_all(dir);
    return 0;
}
