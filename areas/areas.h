// Areas: the side-view places behind every overworld tile. The resident
// area's blocks and creatures, the block queries, area generation and the
// encounter that runs in it.
#pragma once

#include <cstdint>

#include "engine/list.h"

class TEnemy;
class NPC;
class entity;

// ---------------------------------------------------------------- the resident area

// The grids are made once at their largest; an area uses the corner of
// areawidth x areaheight tiles and nothing larger is ever made.
constexpr int32_t AREAMAX = 256;

extern int32_t areawidth, areaheight;  // in tiles
// Both indexed [x][y]. All zero between encounters over the extent last
// used, so a new area starts as air without damage.
extern uint8_t areatiles[AREAMAX][AREAMAX];
extern int32_t areadamage[AREAMAX][AREAMAX];

extern TList<TEnemy> enemies;
extern TList<NPC> npcs;

// Block codes; a block taken into the bag is the item of the same number.
namespace blocks {
constexpr uint8_t air = 0, grass = 1, dirt = 2, stone = 3, wood = 4, leaves = 5, bush = 6, bedrock = 7, sand = 8,
                  sandstone = 9, brick = 10, planks = 11;
constexpr int COUNT = 12;
}  // namespace blocks

// Whether creatures stand on a block. Codes past the table are air.
bool BlockSolid(uint8_t code);
// Dig damage that breaks a block; 0 cannot be dug (air, bedrock, unknown).
int32_t Hardness(uint8_t code);

inline bool InArea(int32_t x, int32_t y) { return x >= 0 && x < areawidth && y >= 0 && y < areaheight; }
inline uint8_t GetBlock(int32_t x, int32_t y) { return InArea(x, y) ? areatiles[x][y] : blocks::air; }
// Fills an empty tile, or any tile when forced; false when nothing changed.
bool SetBlock(int32_t x, int32_t y, uint8_t code, bool force);
// Pixels to tiles, toward zero: pixels -15 to 15 are all tile 0.
inline int32_t ToTile(int32_t pixels) { return pixels / 16; }
// Below the area everything is solid; from the surface line down the sides
// are walls, above it they are open so creatures can walk out.
inline bool IsSolid(int32_t x, int32_t y) {
    if (y >= areaheight) return true;
    if (y >= areaheight / 2 && (x < 0 || x >= areawidth)) return true;
    return BlockSolid(GetBlock(x, y));
}
// The air tile above the ground of column x, searching up from row y.
int32_t FindSurface(int32_t x, int32_t y);
// True with p percent.
bool Chance(uint8_t p);

// Builds the area of overworld tile (ox, oy) from its terrain, with houses
// on a village. Sizes beyond the grids (or below one tile) are refused and
// leave the resident area as it was; false then. Making is all it does:
// whoever asked for the area stores it (SaveArea, areafile.h).
bool GenerateArea(int32_t ox, int32_t oy, int32_t width, int32_t height);
void GrowTree(int32_t x, int32_t y, uint8_t trunk, uint8_t lower, uint8_t crown);
void BuildHouse();
// Air and no damage over the whole extent in use.
void ClearArea();

// ---------------------------------------------------------------- the encounter

// The area now open is a passing visit (a wild encounter or a revisit of a
// cleared tile): twice the enemies, no drops, never saved. Cleared when the
// encounter ends.
extern uint8_t temparea;
// An encounter just ended with the marker left sliding on its tile: the next
// arrival check lets it finish instead of starting the tile again.
extern uint8_t justleft;

extern int32_t camx, camy;  // where the camera looks, in area pixels
extern uint8_t swapmode;    // Space held: the arrows swap the held item
extern uint8_t lookdir;     // 0 ahead, 1 up, 2 down
extern uint8_t pose;        // 0 standing, 1 and 2 walking, 3 the bag open
// The bonuses of a wild win still in reach.
extern uint8_t untouched, noturning, blockless;
// The player creature while an encounter's loop runs, null once it has
// ended: lets whatever watches play from outside (the play-through tests)
// see where the player stands without reaching into the loop.
extern entity* areaplayer;
// A screen inside the area (the bag, a shop, the collector) was closed by
// Escape whose key is still down: that Escape has done its job, and does
// not also leave the area until the key has been let go.
extern uint8_t escapespent;
// For those screens: Escape was pressed, and is marked spent.
bool ClosedByEscape();

// Runs one stay in the resident area and returns the wipe the overworld
// uncovers with: 0 left, 1 right, 2 the box.
uint8_t RunEncounter();
// Reward tier of the marker's tile: plains 1, forest 2, desert 3, else 0.
int32_t TerrainTier();
// Two pixel boxes share a pixel.
inline bool Overlaps(int32_t x1, int32_t y1, int32_t w1, int32_t h1, int32_t x2, int32_t y2, int32_t w2, int32_t h2) {
    return x1 <= x2 + w2 - 1 && x2 <= x1 + w1 - 1 && y1 <= y2 + h2 - 1 && y2 <= y1 + h1 - 1;
}
// The bonus total of a wild win: tier times each bonus's factor.
int32_t BonusTotal(int32_t tier, uint8_t clear);
