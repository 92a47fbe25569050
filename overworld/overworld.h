// The overworld: the two map layers, the home tile and the marker, world
// generation, the world files, walking and scouting with the transitions
// around area visits, and the overworld frame.
#pragma once

#include <cstdint>
#include <string>

// ---------------------------------------------------------------- the map

constexpr int WORLDW = 512, WORLDH = 512;

// Terrain codes. 5 has a picture but nothing makes it; 7 and up never arise.
namespace terrains {
constexpr uint8_t plains = 0, mountain = 1, water = 2, forest = 3, desert = 4, home = 6;
}
// Encounter types: what is known of a tile and what happens there.
namespace encounters {
constexpr uint8_t wild = 0, cleared = 1, claimed = 2, home = 3, village = 4;
}

// Both layers are indexed [x][y].
extern uint8_t terrain[WORLDW][WORLDH];
extern uint8_t encountertype[WORLDW][WORLDH];
extern int32_t homex, homey;

// The player's place on the overworld.
class actor {
public:
    int32_t x = 0, y = 0;
    uint8_t f = 0;       // facing, also the icon's frame: 0 up, 1 right, 2 down, 3 left
    uint8_t moving = 0;  // steps of the slide onto this tile still to run, 8 after a step

    // Steps onto (nx, ny) unless it is blocked; the facing is the caller's.
    void Move(int32_t nx, int32_t ny);
};
extern actor marker;

// The small questions are asked some millions of times while a world is
// made and a few thousand times a frame, so they are inline.
inline bool InWorld(int32_t x, int32_t y) { return x >= 0 && x < WORLDW && y >= 0 && y < WORLDH; }
// Outside the map every tile is water, so nothing ever walks off it.
inline uint8_t TerrainAt(int32_t x, int32_t y) { return InWorld(x, y) ? terrain[x][y] : terrains::water; }
inline uint8_t EncounterAt(int32_t x, int32_t y) { return InWorld(x, y) ? encountertype[x][y] : encounters::wild; }
// Writes code over plains only, or over anything when forced; true when written.
inline bool SetTerrain(int32_t x, int32_t y, uint8_t code, bool force) {
    if (!InWorld(x, y) || (terrain[x][y] != terrains::plains && !force)) return false;
    terrain[x][y] = code;
    return true;
}
inline bool IsBlocked(int32_t x, int32_t y) {
    const uint8_t t = TerrainAt(x, y);
    return t == terrains::mountain || t == terrains::water;
}
// Scouting and reward tier: plains 1, forest 2, desert 3, everything else 0.
int32_t TierAt(int32_t x, int32_t y);
// Makes a tile known, and the water beside it with its shores.
void Reveal(int32_t x, int32_t y);
// Makes known every wild water tile joined to (x, y) through wild water, and
// the wild mountains touching them.
void FloodReveal(int32_t x, int32_t y);

// ---------------------------------------------------------------- making a world

// Makes a new world in place and shows it being made; LoadWorld saves it.
void GenerateWorld();
// A new world, saved, begins inside its home area (made and stored here):
// the overworld is first seen when the player walks out.
void BeginAtHome();
// The map, the home tile, a new player on it and the villages: everything of
// a new world but the notice and the save.
void MakeWorldMap();
// The player's lasting state as a new player has it, standing at home.
void NewPlayer();

// ---------------------------------------------------------------- world files

constexpr int32_t OVERWORLDFILESIZE = 2 * WORLDW * WORLDH + 8;  // 524,296
constexpr int32_t PLAYERFILESIZE = 153;

std::string WorldFolder();
// Writes the world's "overworld" and "player" files as one save; false
// (after a line on standard error and a notice held on screen) when they did
// not reach the disk whole, in which case both old files stay as they were.
bool SaveWorld();
// Loads the selected world, makes it when it has no map yet, or starts a new
// player on a map without one. False when the world's files are damaged:
// nothing is loaded and nothing is written.
bool LoadWorld();
// Takes in a world's map and player (null when it has none) as read from
// their files; false, changing nothing, when they are not a whole world's.
class TStream;
bool ReadWorld(TStream& map, TStream* player);

// ---------------------------------------------------------------- play

// One update step of the overworld's keys. False when the player left the
// game on the title screen that Escape leads to: the program is to end,
// and the world is saved already.
bool UpdateOverworld();
// One update step of the marker's slide and of arriving on a tile.
void UpdateArrival();
// Cover the overworld before an area opens, uncover it after. Kind 0 wipes
// toward the left, 1 toward the right, 2 is a box from the middle.
void WorldTransOut(uint8_t kind);
void WorldTransIn(uint8_t kind);

// ---------------------------------------------------------------- drawing

void DrawOverworld();
