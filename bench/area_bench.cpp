// An area's heavy moments: making the largest forest, drawing a full frame
// at the surface, and one encounter step with a crowd near the player.
#include <benchmark/benchmark.h>

#include "areas/areas.h"
#include "areas/encounter.h"
#include "areas/enemy.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "base/assets.h"

namespace {
void Forest() {
    terrain[10][10] = terrains::forest;
    encountertype[10][10] = encounters::claimed;
    marker.x = marker.y = 10;
}

void BM_GenerateForest256(benchmark::State& state) {
    LoadAssets();
    Forest();
    for (auto _ : state) GenerateArea(10, 10, 256, 256);  // the making, not the storing
}
BENCHMARK(BM_GenerateForest256)->Unit(benchmark::kMillisecond);

void BM_DrawViewAtTheSurface(benchmark::State& state) {
    LoadAssets();
    Forest();
    GenerateArea(10, 10, 256, 256);
    entity p;
    p.x = 128 * 16;
    p.y = (128 - 3) * 16;
    camx = p.x, camy = p.y;
    for (auto _ : state) p.DrawView();
}
BENCHMARK(BM_DrawViewAtTheSurface)->Unit(benchmark::kMicrosecond);

// 32 slimes around a player standing still: they hop, steer, fall and are
// tested for contact and for the swing every step.
void BM_EncounterStep32Enemies(benchmark::State& state) {
    LoadAssets();
    Forest();
    ClearArea();
    areawidth = areaheight = 256;
    for (int x = 0; x < 256; ++x)
        for (int y = 128; y < 256; ++y) areatiles[x][y] = blocks::stone;
    entity p;
    p.x = 128 * 16, p.y = 127 * 16, p.HP = 1000;
    maxAP = 0;
    for (int i = 0; i < 32; ++i) {
        TEnemy* e = enemies.AddLast(new TEnemy);
        e->SetKind(enemykinds::slime);
        e->x = p.x - 200 + 13 * i;
        e->y = 127 * 16 + 8;
    }
    EncounterStep step(p, encounters::claimed, 0);
    for (auto _ : state) {
        p.invinced = 0;
        p.HP = 1000;
        step.Run();
    }
    enemies.Clear();
}
BENCHMARK(BM_EncounterStep32Enemies)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
