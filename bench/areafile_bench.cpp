// Storing and reading back the largest area (256 x 256, a village's worth
// of people), flushing to disk included.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>

#include "areas/areafile.h"
#include "areas/areas.h"
#include "areas/npc.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "base/base.h"

namespace {
void BM_SaveAndLoadArea256(benchmark::State& state) {
    char folder[] = "/tmp/quillmoor-bench-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) std::abort();
    LoadAssets();
    MakeDir("worlds");
    MakeDir("worlds\\Defaultia");
    terrain[10][10] = terrains::forest;
    encountertype[10][10] = encounters::village;
    marker.x = marker.y = 10;
    GenerateArea(10, 10, 256, 256);
    for (int i = 0; i < 8; ++i) npcs.AddLast(new NPC)->SetKind((uint8_t)(i % 3));
    for (auto _ : state) {
        SaveArea(10, 10);
        npcs.Clear();
        LoadArea(10, 10, 128, 64);
    }
    state.SetLabel("256 x 256 tiles, 8 people");
}
BENCHMARK(BM_SaveAndLoadArea256)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
