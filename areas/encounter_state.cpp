// The flags and camera of the encounter under way, and the reward rule.
#include "areas/areas.h"
#include "engine/keys.h"
#include "overworld/overworld.h"

uint8_t temparea = 0;
uint8_t justleft = 0;
int32_t camx = 0, camy = 0;
uint8_t swapmode = 0;
uint8_t lookdir = 0;
uint8_t pose = 0;
uint8_t untouched = 1, noturning = 1, blockless = 1;
entity* areaplayer = nullptr;
uint8_t escapespent = 0;

bool ClosedByEscape() {
    if (KeyPressed(KEY_ESCAPE) == 0) return false;
    escapespent = 1;
    return true;
}

int32_t TerrainTier() { return TierAt(marker.x, marker.y); }

// Untouched triples, Exterminator quadruples, No turning back and Blockless
// double; all of them multiply.
int32_t BonusTotal(int32_t tier, uint8_t clear) {
    return tier * (2 * untouched + 1) * (3 * clear + 1) * (noturning + 1) * (blockless + 1);
}
