// The map layers, the home tile and the questions everything asks of them.
#include "overworld/overworld.h"

uint8_t terrain[WORLDW][WORLDH];
uint8_t encountertype[WORLDW][WORLDH];
int32_t homex = 0, homey = 0;

namespace {
// Tiles waiting to pass the flood on. Every tile enters at most once (it is
// marked known as it enters), so the whole map fits.
uint32_t floodwork[WORLDW * WORLDH];

inline uint32_t Pack(int32_t x, int32_t y) { return (uint32_t)x << 16 | (uint32_t)y; }

// One tile reached by the flood: a wild mountain becomes known and stops it;
// wild water becomes known and is queued to spread further.
inline void Touch(int32_t x, int32_t y, int& n) {
    if (!InWorld(x, y) || encountertype[x][y] != encounters::wild) return;
    const uint8_t t = terrain[x][y];
    if (t == terrains::mountain) {
        encountertype[x][y] = encounters::cleared;
    } else if (t == terrains::water) {
        encountertype[x][y] = encounters::cleared;
        floodwork[n++] = Pack(x, y);
    }
}
}  // namespace

int32_t TierAt(int32_t x, int32_t y) {
    switch (TerrainAt(x, y)) {
    case terrains::plains: return 1;
    case terrains::forest: return 2;
    case terrains::desert: return 3;
    default: return 0;
    }
}

void Reveal(int32_t x, int32_t y) {
    if (!InWorld(x, y)) return;
    encountertype[x][y] = encounters::cleared;
    FloodReveal(x + 1, y);
    FloodReveal(x - 1, y);
    FloodReveal(x, y + 1);
    FloodReveal(x, y - 1);
}

// One sea may cover most of the map, so the spread runs on a work list of its
// own rather than on the call stack.
void FloodReveal(int32_t x, int32_t y) {
    int n = 0;
    Touch(x, y, n);
    while (n > 0) {
        const uint32_t p = floodwork[--n];
        const int32_t cx = (int32_t)(p >> 16), cy = (int32_t)(p & 0xFFFF);
        Touch(cx - 1, cy, n);
        Touch(cx + 1, cy, n);
        Touch(cx, cy - 1, n);
        Touch(cx, cy + 1, n);
    }
}
