// Making a new world: random scatterings of mountains, forests and water,
// smoothing, deserts cut through everything, then home and the villages on
// the finished land. The order of the steps and of every draw from the
// random sequence decides the world, so none of it may be reordered.
#include <algorithm>

#include "areas/areafile.h"
#include "areas/areas.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "engine/dice.h"
#include "base/base.h"

namespace {
// A short drifting line of peaks; its speed wanders, so it bends, stalls on
// a tile or leaps over one. Cells off the map are skipped.
void MountainWorm() {
    int32_t x = Rand(0, 511);
    int32_t y = Rand(0, 511);
    int32_t dx = Rand(-1, 1);
    int32_t dy = Rand(-1, 1);
    for (int i = 0; i < 5; ++i) {
        SetTerrain(x, y, terrains::mountain, true);
        dx += Rand(-1, 1);
        dy += Rand(-1, 1);
        x += dx;
        y += dy;
    }
}

// Plains take the new code, anything else keeps its own. Chosen without a
// branch: whether a tile is plains is a coin toss the processor cannot guess,
// and these few steps write some million tiles.
inline void OverPlains(uint8_t& t, uint8_t code) { t = t == terrains::plains ? code : t; }

// A square grove 2 to 5 tiles wide, growing on plains only; the part off the
// map is skipped.
void PlantGrove() {
    const int32_t s = Rand(1, 4);
    const int32_t cx = Rand(0, 511);
    const int32_t cy = Rand(0, 511);
    const int32_t x0 = cx - s / 2, y0 = cy - s / 2;
    const int32_t xa = std::max(x0, 0), xb = std::min(x0 + s, WORLDW - 1);
    const int32_t ya = std::max(y0, 0), yb = std::min(y0 + s, WORLDH - 1);
    for (int32_t x = xa; x <= xb; ++x)
        for (int32_t y = ya; y <= yb; ++y) OverPlains(terrain[x][y], terrains::forest);
}

// A dot of water, spilling onto the plains at its four sides; the dot keeps
// a clear tile off the map's edge, so its sides are always on the map.
void WaterPoint() {
    const int32_t x = Rand(1, 510);
    const int32_t y = Rand(1, 510);
    uint8_t& t = terrain[x][y];
    t = t == terrains::mountain ? t : terrains::water;
    OverPlains(terrain[x + 1][y], terrains::water);
    OverPlains(terrain[x - 1][y], terrains::water);
    OverPlains(terrain[x][y + 1], terrains::water);
    OverPlains(terrain[x][y - 1], terrains::water);
}

// The smoothing passes run on a copy of the map laid out row by row, with a
// border of water all round: a tile's three rows then lie side by side in
// memory, and off the map reads as water without a test.
uint8_t rows[WORLDH + 2][WORLDW + 2];

void CopyToRows() {
    for (int32_t x = 0; x < WORLDW + 2; ++x) rows[0][x] = rows[WORLDH + 1][x] = terrains::water;
    for (int32_t y = 0; y < WORLDH + 2; ++y) rows[y][0] = rows[y][WORLDW + 1] = terrains::water;
    for (int32_t x = 0; x < WORLDW; ++x)
        for (int32_t y = 0; y < WORLDH; ++y) rows[y + 1][x + 1] = terrain[x][y];
}

void CopyFromRows() {
    for (int32_t x = 0; x < WORLDW; ++x)
        for (int32_t y = 0; y < WORLDH; ++y) terrain[x][y] = rows[y + 1][x + 1];
}

// Majority smoothing over the four sides, in scan order and in place, so a
// tile sees what the tiles before it became in the same pass. Off the map
// counts as water. A tile of the code keeps it with two or more sides of
// it and falls to plains with fewer; any other tile takes it with three.
// Only the left side was settled in this same row, so the other three are
// counted for the whole row first.
void SmoothPass(uint8_t code) {
    uint8_t others[WORLDW + 2];
    for (int32_t y = 1; y <= WORLDH; ++y) {
        const uint8_t* up = rows[y - 1];
        uint8_t* row = rows[y];
        const uint8_t* down = rows[y + 1];
        for (int32_t x = 1; x <= WORLDW; ++x)
            others[x] = (uint8_t)((row[x + 1] == code) + (up[x] == code) + (down[x] == code));
        for (int32_t x = 1; x <= WORLDW; ++x) {
            const int k = others[x] + (row[x - 1] == code);
            const uint8_t t = row[x];
            const bool is = t == code;
            row[x] = k >= 3 - is ? code : is ? terrains::plains : t;
        }
    }
}

// Water smooths over all eight neighbours, away from the map's edge: water
// stays with four or more, anything else floods with five, and water with
// three or fewer dries to plains.
void SmoothWater() {
    constexpr uint8_t w = terrains::water;
    uint8_t others[WORLDW + 2];
    for (int32_t y = 2; y <= WORLDH - 1; ++y) {
        const uint8_t* up = rows[y - 1];
        uint8_t* row = rows[y];
        const uint8_t* down = rows[y + 1];
        for (int32_t x = 2; x <= WORLDW - 1; ++x)
            others[x] = (uint8_t)((row[x + 1] == w) + (up[x] == w) + (down[x] == w) + (up[x - 1] == w) +
                                  (down[x + 1] == w) + (up[x + 1] == w) + (down[x - 1] == w));
        for (int32_t x = 2; x <= WORLDW - 1; ++x) {
            const int k = others[x] + (row[x - 1] == w);
            const uint8_t t = row[x];
            const bool is = t == w;
            row[x] = k >= 5 - is ? w : is ? terrains::plains : t;
        }
    }
}

// A random walk of a 3 x 3 brush of sand over anything; its centre stays on
// the map, its brush may reach one tile past the edge.
void SpreadDesert() {
    int32_t x = Rand(0, 511);
    int32_t y = Rand(0, 511);
    for (int i = 0; i < 500; ++i) {
        SetTerrain(x, y, terrains::desert, true);
        SetTerrain(x - 1, y, terrains::desert, true);
        SetTerrain(x + 1, y, terrains::desert, true);
        SetTerrain(x, y - 1, terrains::desert, true);
        SetTerrain(x, y + 1, terrains::desert, true);
        SetTerrain(x - 1, y - 1, terrains::desert, true);
        SetTerrain(x + 1, y + 1, terrains::desert, true);
        SetTerrain(x + 1, y - 1, terrains::desert, true);
        SetTerrain(x - 1, y + 1, terrains::desert, true);
        int32_t d = Rand(-1, 1);
        if (x + d >= 0 && x + d <= 511) x += d;
        d = Rand(-1, 1);
        if (y + d >= 0 && y + d <= 511) y += d;
    }
}

// Home stands on plains, with plains on its four sides.
void PlaceHome() {
    do {
        homex = Rand(0, 511);
        homey = Rand(0, 511);
    } while (terrain[homex][homey] != terrains::plains);
    SetTerrain(homex, homey - 1, terrains::plains, true);
    SetTerrain(homex - 1, homey, terrains::plains, true);
    SetTerrain(homex, homey, terrains::plains, true);
    SetTerrain(homex + 1, homey, terrains::plains, true);
    SetTerrain(homex, homey + 1, terrains::plains, true);
    terrain[homex][homey] = terrains::home;
    encountertype[homex][homey] = encounters::home;
}

// Villages stand on open wild land, one to a tile; one beside a lake or sea
// makes all that water and its mountain shores known.
void PlaceVillages() {
    for (int i = 0; i < 262; ++i) {
        int32_t vx, vy;
        do {
            vx = Rand(0, 511);
            vy = Rand(0, 511);
        } while (IsBlocked(vx, vy) || encountertype[vx][vy] != encounters::wild);
        encountertype[vx][vy] = encounters::village;
        FloodReveal(vx - 1, vy);
        FloodReveal(vx + 1, vy);
        FloodReveal(vx, vy - 1);
        FloodReveal(vx, vy + 1);
    }
}
}  // namespace

void NewPlayer() {
    marker.x = homex;
    marker.y = homey;
    maxHP = 3;
    maxAP = 3;
    AP = 0;
    APgain = 1;
    gold = 0;
    alchemy = 1;
    level = 1;
    player::exp = 0;
    for (int c = 0; c < INVCOLS; ++c)
        for (int r = 0; r < INVROWS; ++r) {
            invitem[c][r] = 0;
            invamt[c][r] = 0;
        }
}

void MakeWorldMap() {
    for (int32_t x = 0; x < WORLDW; ++x)
        for (int32_t y = 0; y < WORLDH; ++y) {
            terrain[x][y] = terrains::plains;
            encountertype[x][y] = encounters::wild;
        }
    for (int i = 0; i < 26214; ++i) MountainWorm();
    for (int i = 0; i < 26214; ++i) PlantGrove();
    for (int i = 0; i < 131073; ++i) WaterPoint();
    CopyToRows();
    SmoothPass(terrains::forest);
    SmoothPass(terrains::mountain);
    SmoothWater();
    CopyFromRows();
    for (int i = 0; i < 65; ++i) SpreadDesert();
    PlaceHome();
    NewPlayer();
    PlaceVillages();
}

void GenerateWorld() {
    ShowNotice("Generating World");
    MakeWorldMap();
}

void BeginAtHome() {
    if (GenerateArea(homex, homey, 32, 32)) SaveArea(homex, homey);
    WorldTransIn(RunEncounter());
}
