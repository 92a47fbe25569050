// The resident area's storage and the small block queries everything that
// moves, digs or draws asks.
#include "areas/areas.h"
#include "areas/enemy.h"
#include "areas/npc.h"
#include "engine/dice.h"
#include "engine/list.h"

int32_t areawidth = AREAMAX, areaheight = AREAMAX;
uint8_t areatiles[AREAMAX][AREAMAX];
int32_t areadamage[AREAMAX][AREAMAX];

TList<TEnemy> enemies;
TList<NPC> npcs;

namespace {
// Wood, bushes and planks are scenery one walks through.
constexpr bool SOLID[blocks::COUNT] = {false, true, true, true, false, true, false, true, true, true, true, false};
// A block's hardness is also its worth in the shops.
constexpr uint8_t HARDNESS[blocks::COUNT] = {0, 4, 2, 10, 12, 3, 6, 0, 2, 5, 15, 9};
}  // namespace

bool BlockSolid(uint8_t code) { return code < blocks::COUNT && SOLID[code]; }
int32_t Hardness(uint8_t code) { return code < blocks::COUNT ? HARDNESS[code] : 0; }

bool SetBlock(int32_t x, int32_t y, uint8_t code, bool force) {
    if (!InArea(x, y)) return false;
    if (areatiles[x][y] != blocks::air && !force) return false;
    areatiles[x][y] = code;
    return true;
}

int32_t FindSurface(int32_t x, int32_t y) {
    if (!IsSolid(x, y + 1)) return y + 1;
    // Above the area every tile is air, so the search always ends.
    int32_t r = y;
    while (IsSolid(x, r)) --r;
    return r;
}

bool Chance(uint8_t p) { return Rand(1, 100) <= p; }

void ClearArea() {
    const int32_t w = areawidth < AREAMAX ? areawidth : AREAMAX, h = areaheight < AREAMAX ? areaheight : AREAMAX;
    for (int32_t x = 0; x < w; ++x)
        for (int32_t y = 0; y < h; ++y) {
            areatiles[x][y] = blocks::air;
            areadamage[x][y] = 0;
        }
}
