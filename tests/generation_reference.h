// A second, plain telling of how worlds and areas are made, written from the
// rules of generation step by step and sharing nothing with the game: its
// own random sequence, its own map and block arrays. It favours being easy
// to check against the rules over speed; the generation tests run it beside
// the game from the same seed and require the same bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace reference {

// ---------------------------------------------------------------- the random sequence

// The minimal-standard generator (48271 modulo 2^31 - 1), stepped by
// Schrage's method so that nothing overflows 32 bits.
class Sequence {
public:
    explicit Sequence(int32_t seed) {
        s = seed & 2147483647;
        if (s == 0 || s == 2147483647) s = 4660;
    }
    int32_t Step() {
        s = 48271 * (s % 44488) - 3399 * (s / 44488);
        if (s < 0) s += 2147483647;
        return s;
    }
    // Two steps make one real in [0, 1).
    double Uniform() {
        const int32_t s1 = Step();
        const int32_t s2 = Step();
        return ((s1 & 0x1FFFFFFC) + (s2 & 0x1FFFFFF8) / 134217728.0) / 536870912.0;
    }
    // Uniform over min..max inclusive; a reversed range stays between its bounds.
    int32_t Rand(int32_t min, int32_t max) {
        const int32_t d = max - min;
        if (d > 0) return min + (int32_t)(Uniform() * (d + 1));
        return max + (int32_t)(Uniform() * (1 - d));
    }
    bool Chance(int32_t percent) { return Rand(1, 100) <= percent; }

private:
    int32_t s;
};

inline void PutLE(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back((uint8_t)(v >> (8 * i)));
}

// FNV-1a, 64 bits.
inline uint64_t Fnv1a64(const std::vector<uint8_t>& bytes) {
    uint64_t h = 14695981039346656037ull;
    for (uint8_t b : bytes) {
        h ^= b;
        h *= 1099511628211ull;
    }
    return h;
}

// ---------------------------------------------------------------- the world

constexpr int32_t SIDE = 512;
constexpr uint8_t PLAINS = 0, MOUNTAIN = 1, WATER = 2, FOREST = 3, DESERT = 4, HOME = 6;
constexpr uint8_t WILD = 0, CLEARED = 1, CLAIMED = 2, HOMETYPE = 3, VILLAGE = 4;

struct World {
    uint8_t terrain[SIDE][SIDE];    // [x][y]
    uint8_t encounter[SIDE][SIDE];  // [x][y]
    int32_t homex = 0, homey = 0;

    static bool In(int32_t x, int32_t y) { return x >= 0 && x < SIDE && y >= 0 && y < SIDE; }
    uint8_t TerrainAt(int32_t x, int32_t y) const { return In(x, y) ? terrain[x][y] : WATER; }
    bool Blocked(int32_t x, int32_t y) const {
        const uint8_t t = TerrainAt(x, y);
        return t == MOUNTAIN || t == WATER;
    }
    void SetTerrain(int32_t x, int32_t y, uint8_t code, bool force) {
        if (In(x, y) && (terrain[x][y] == PLAINS || force)) terrain[x][y] = code;
    }
    // Wild water joined to (x, y) through wild water becomes known, and so
    // do the wild mountains on its shores.
    void FloodReveal(int32_t x, int32_t y) {
        std::vector<std::pair<int32_t, int32_t>> work{{x, y}};
        while (!work.empty()) {
            auto [cx, cy] = work.back();
            work.pop_back();
            const uint8_t t = TerrainAt(cx, cy);
            if (!In(cx, cy) || encounter[cx][cy] != WILD) continue;
            if (t == MOUNTAIN) encounter[cx][cy] = CLEARED;
            if (t != WATER) continue;
            encounter[cx][cy] = CLEARED;
            work.insert(work.end(), {{cx - 1, cy}, {cx + 1, cy}, {cx, cy - 1}, {cx, cy + 1}});
        }
    }
    // The bytes of the world's map file: a terrain and an encounter byte for
    // each tile, rows from the top and each row from the left, then the home
    // tile's x and y as 32-bit little-endian.
    std::vector<uint8_t> FileBytes() const {
        std::vector<uint8_t> out;
        out.reserve(2 * SIDE * SIDE + 8);
        for (int32_t y = 0; y < SIDE; ++y)
            for (int32_t x = 0; x < SIDE; ++x) {
                out.push_back(terrain[x][y]);
                out.push_back(encounter[x][y]);
            }
        PutLE(out, (uint32_t)homex, 4);
        PutLE(out, (uint32_t)homey, 4);
        return out;
    }
};

// Majority smoothing over the four sides, in scan order and in place.
inline void SmoothPass(World& w, uint8_t code) {
    for (int32_t y = 0; y < SIDE; ++y)
        for (int32_t x = 0; x < SIDE; ++x) {
            const int k = (w.TerrainAt(x - 1, y) == code) + (w.TerrainAt(x + 1, y) == code) +
                          (w.TerrainAt(x, y - 1) == code) + (w.TerrainAt(x, y + 1) == code);
            uint8_t& t = w.terrain[x][y];
            if (t != code && k >= 3) t = code;
            if (t == code && k <= 1) t = PLAINS;
        }
}

// Water smoothing over all eight neighbours, away from the edge.
inline void SmoothWater(World& w) {
    for (int32_t y = 1; y <= SIDE - 2; ++y)
        for (int32_t x = 1; x <= SIDE - 2; ++x) {
            int k = 0;
            for (int32_t dy = -1; dy <= 1; ++dy)
                for (int32_t dx = -1; dx <= 1; ++dx) k += (dx || dy) && w.terrain[x + dx][y + dy] == WATER;
            uint8_t& t = w.terrain[x][y];
            if (t != WATER && k >= 5) t = WATER;
            if (t == WATER && k <= 3) t = PLAINS;
        }
}

// The whole map of a new world, its home tile and its villages, drawing from r.
inline std::unique_ptr<World> MakeWorld(Sequence& r) {
    auto w = std::make_unique<World>();
    for (int32_t x = 0; x < SIDE; ++x)
        for (int32_t y = 0; y < SIDE; ++y) {
            w->terrain[x][y] = PLAINS;
            w->encounter[x][y] = WILD;
        }
    for (int i = 0; i < 26214; ++i) {  // mountain lines
        int32_t x = r.Rand(0, 511), y = r.Rand(0, 511);
        int32_t dx = r.Rand(-1, 1), dy = r.Rand(-1, 1);
        for (int step = 0; step < 5; ++step) {
            w->SetTerrain(x, y, MOUNTAIN, true);
            dx += r.Rand(-1, 1);
            dy += r.Rand(-1, 1);
            x += dx;
            y += dy;
        }
    }
    for (int i = 0; i < 26214; ++i) {  // groves
        const int32_t s = r.Rand(1, 4), cx = r.Rand(0, 511), cy = r.Rand(0, 511);
        const int32_t x0 = cx - s / 2, y0 = cy - s / 2;
        for (int32_t x = x0; x <= x0 + s; ++x)
            for (int32_t y = y0; y <= y0 + s; ++y) w->SetTerrain(x, y, FOREST, false);
    }
    for (int i = 0; i < 131073; ++i) {  // water points
        const int32_t x = r.Rand(1, 510), y = r.Rand(1, 510);
        if (!w->Blocked(x, y)) w->terrain[x][y] = WATER;
        for (auto [nx, ny] : {std::pair{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}})
            if (w->TerrainAt(nx, ny) != WATER) w->SetTerrain(nx, ny, WATER, false);
    }
    SmoothPass(*w, FOREST);
    SmoothPass(*w, MOUNTAIN);
    SmoothWater(*w);
    for (int i = 0; i < 65; ++i) {  // desert walks
        int32_t x = r.Rand(0, 511), y = r.Rand(0, 511);
        for (int step = 0; step < 500; ++step) {
            for (int32_t dx = -1; dx <= 1; ++dx)
                for (int32_t dy = -1; dy <= 1; ++dy) w->SetTerrain(x + dx, y + dy, DESERT, true);
            int32_t d = r.Rand(-1, 1);
            if (x + d >= 0 && x + d <= 511) x += d;
            d = r.Rand(-1, 1);
            if (y + d >= 0 && y + d <= 511) y += d;
        }
    }
    do {
        w->homex = r.Rand(0, 511);
        w->homey = r.Rand(0, 511);
    } while (w->terrain[w->homex][w->homey] != PLAINS);
    const int32_t hx = w->homex, hy = w->homey;
    for (auto [x, y] : {std::pair{hx, hy - 1}, {hx - 1, hy}, {hx, hy}, {hx + 1, hy}, {hx, hy + 1}})
        w->SetTerrain(x, y, PLAINS, true);
    w->terrain[hx][hy] = HOME;
    w->encounter[hx][hy] = HOMETYPE;
    for (int i = 0; i < 262; ++i) {  // villages
        int32_t vx, vy;
        do {
            vx = r.Rand(0, 511);
            vy = r.Rand(0, 511);
        } while (w->Blocked(vx, vy) || w->encounter[vx][vy] != WILD);
        w->encounter[vx][vy] = VILLAGE;
        w->FloodReveal(vx - 1, vy);
        w->FloodReveal(vx + 1, vy);
        w->FloodReveal(vx, vy - 1);
        w->FloodReveal(vx, vy + 1);
    }
    return w;
}

// ---------------------------------------------------------------- areas

constexpr uint8_t AIR = 0, GRASS = 1, DIRT = 2, STONE = 3, WOOD = 4, LEAVES = 5, BUSH = 6, BEDROCK = 7, SAND = 8,
                  SANDSTONE = 9, BRICK = 10, PLANKS = 11;

struct Person {
    int32_t x, y;
    uint8_t kind;
    uint16_t dialogue;
};

struct Area {
    int32_t w, h, half;
    std::vector<uint8_t> blocks;  // [x * h + y]
    std::vector<Person> people;

    Area(int32_t width, int32_t height) : w(width), h(height), half(height / 2), blocks(width * height, AIR) {}
    bool In(int32_t x, int32_t y) const { return x >= 0 && x < w && y >= 0 && y < h; }
    uint8_t Get(int32_t x, int32_t y) const { return In(x, y) ? blocks[x * h + y] : AIR; }
    // A direct store, ignored off the area.
    void Put(int32_t x, int32_t y, uint8_t code) {
        if (In(x, y)) blocks[x * h + y] = code;
    }
    void Set(int32_t x, int32_t y, uint8_t code, bool force) {
        if (In(x, y) && (Get(x, y) == AIR || force)) Put(x, y, code);
    }
    bool Solid(int32_t x, int32_t y) const {
        if (y >= h) return true;
        if (y >= half && (x < 0 || x >= w)) return true;
        const uint8_t b = Get(x, y);
        return b == GRASS || b == DIRT || b == STONE || b == LEAVES || b == BEDROCK || b == SAND || b == SANDSTONE ||
               b == BRICK;
    }
    int32_t FindSurface(int32_t x, int32_t y) const {
        if (!Solid(x, y + 1)) return y + 1;
        int32_t r = y;
        while (Solid(x, r)) --r;
        return r;
    }
    // The bytes of the area's file: width and height as 32-bit little-endian,
    // a byte per block, rows from the top and each row from the left, the
    // number of people, then for each in order its pixel x and y (32-bit),
    // kind (8-bit) and line (16-bit).
    std::vector<uint8_t> FileBytes() const {
        std::vector<uint8_t> out;
        PutLE(out, (uint32_t)w, 4);
        PutLE(out, (uint32_t)h, 4);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) out.push_back(Get(x, y));
        PutLE(out, (uint32_t)people.size(), 4);
        for (const Person& p : people) {
            PutLE(out, (uint32_t)p.x, 4);
            PutLE(out, (uint32_t)p.y, 4);
            out.push_back(p.kind);
            PutLE(out, p.dialogue, 2);
        }
        return out;
    }
};

// Leaves either side of the trunk, the outer ones only sometimes and never
// beside another tree's wood.
inline void CrownRow(Area& a, Sequence& r, int32_t x, int32_t row) {
    if (a.Get(x - 2, row) != WOOD && r.Rand(0, 1) == 1) a.Set(x - 2, row, LEAVES, false);
    a.Set(x - 1, row, LEAVES, false);
    a.Set(x, row, WOOD, true);
    a.Set(x + 1, row, LEAVES, false);
    if (a.Get(x + 2, row) != WOOD && r.Rand(0, 1) == 1) a.Set(x + 2, row, LEAVES, false);
}

inline void GrowTree(Area& a, Sequence& r, int32_t x, int32_t y, int trunk, int lower, int crown) {
    int32_t row = a.FindSurface(x, y);
    a.Set(x, row, WOOD, true);
    row -= 1;
    a.Set(x, row, WOOD, true);
    for (int i = 0; i < trunk; ++i)
        if (r.Rand(0, 1) == 1) {
            row -= 1;
            a.Set(x, row, WOOD, true);
        }
    for (int i = 0; i < lower; ++i)
        if (r.Rand(0, 1) == 1) {
            row -= 1;
            if (r.Rand(0, 2) == 0) a.Set(x - 1, row, LEAVES, false);
            a.Set(x, row, WOOD, true);
            if (r.Rand(0, 2) == 0) a.Set(x + 1, row, LEAVES, false);
        }
    row -= 1;
    CrownRow(a, r, x, row);
    for (int i = 0; i < crown; ++i)
        if (r.Rand(0, 1) == 1) {
            row -= 1;
            CrownRow(a, r, x, row);
        }
    row -= 1;
    if (a.Get(x - 2, row) != WOOD) a.Set(x - 2, row, LEAVES, false);
    for (int32_t dx = -1; dx <= 1; ++dx) a.Set(x + dx, row, LEAVES, false);
    if (a.Get(x + 2, row) != WOOD) a.Set(x + 2, row, LEAVES, false);
    row -= 1;
    for (int32_t dx = -1; dx <= 1; ++dx) a.Set(x + dx, row, LEAVES, false);
}

// Grass, dirt and stone with a bumpy surface, then trees and bushes; forest
// (R 3) raises the surface more often and grows far more.
inline void LayeredGround(Area& a, Sequence& r, bool forest) {
    const int32_t w = a.w, h = a.h, half = a.half, R = forest ? 3 : 2;
    for (int32_t y = half; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) a.Put(x, y, STONE);
    for (int32_t y = half; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            if (r.Rand(0, y - half) <= 4) a.Put(x, y, DIRT);
            if (y == half) a.Put(x, y, GRASS);
        }
    for (int32_t x = 0; x < w; ++x)
        if (r.Rand(0, R) != 0) {
            a.Put(x, half - 1, GRASS);
            a.Put(x, half, (uint8_t)r.Rand(1, 2));
        }
    for (int32_t x = 0; x < w; ++x)
        if (a.Get(x, half - 1) == GRASS && r.Rand(0, R) != 0) a.Put(x, half - 2, GRASS);
    auto grass = [&a](int32_t x, int32_t y) { return a.Get(x, y) == GRASS; };
    for (int pass = 0; pass < 2; ++pass)
        for (int32_t x = 1; x <= w - 2; ++x) {
            for (int32_t row : {half - 1, half - 2}) {
                const int n = grass(x - 1, row) + grass(x + 1, row);
                if (n == 2) a.Put(x, row, GRASS);
                if (n == 0) a.Put(x, row, AIR);
            }
            if (grass(x, half - 2) && grass(x, half - 1)) {
                if (!grass(x - 1, half - 2) && !grass(x - 1, half - 1)) a.Put(x, half - 2, AIR);
                if (!grass(x + 1, half - 2) && !grass(x + 1, half - 1)) a.Put(x, half - 2, AIR);
            }
        }
    for (int32_t x = 1; x <= w - 2; ++x) {
        if (!forest) {
            if (r.Chance(2)) {
                GrowTree(a, r, x, half, 0, 2, 1);
                x += 1;
            } else if (r.Chance(5)) {
                a.Set(x, a.FindSurface(x, half), BUSH, false);
            }
        } else {
            if (r.Chance(70)) a.Set(x, a.FindSurface(x, half), BUSH, false);
            if (r.Chance(25)) {
                GrowTree(a, r, x, half, 2, 4, 4);
                x += 1;
                if (r.Chance(70)) a.Set(x, a.FindSurface(x, half), BUSH, false);
            }
        }
    }
}

inline void Dunes(Area& a, Sequence& r) {
    const int32_t w = a.w, h = a.h, half = a.half;
    for (int32_t y = half; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) a.Put(x, y, SANDSTONE);
    for (int32_t y = half; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            if (r.Rand(0, y - half) == 0) a.Set(x, y, SAND, true);
    int32_t top = half - r.Rand(0, 8);
    for (int32_t x = 0; x < w; ++x) {
        int32_t d = r.Rand(-2, 2);
        if (d == -2 || d == 2) d = 0;
        top += d;
        if (top > half) top = half;
        for (int32_t y = top; y <= half; ++y) a.Set(x, y, SAND, true);
        if (top < half - 8) top += 1;
    }
}

inline void Bedrock(Area& a, Sequence& r) {
    for (int32_t y = a.half; y < a.h; ++y)
        for (int32_t x = 0; x < a.w; ++x) a.Set(x, y, BEDROCK, false);
    for (int32_t y = a.half; y >= a.half - 3; --y)
        for (int32_t x = 0; x < a.w; ++x)
            if (a.Get(x, y + 1) == BEDROCK && r.Chance(70)) a.Set(x, y, BEDROCK, false);
}

// A brick house on the surface line with planks inside, doorways where the
// outside has standing room, and one person standing on its floor.
inline void BuildHouse(Area& a, Sequence& r) {
    const int32_t w = r.Rand(4, 8), h = r.Rand(4, 6), top = a.half - h, left = r.Rand(10, a.w - 10);
    for (int32_t y = top; y <= top + h; ++y)
        for (int32_t x = left; x <= left + w; ++x) {
            const bool wall = y == top || y == top + h || x == left || x == left + w;
            a.Set(x, y, wall ? BRICK : PLANKS, true);
        }
    for (int32_t y = top + 1; y <= top + h - 1; ++y) {
        if (!a.Solid(left - 1, y) && a.Solid(left - 1, y + 1)) a.Set(left, y, PLANKS, true);
        if (!a.Solid(left + w + 1, y) && a.Solid(left + w + 1, y + 1)) a.Set(left + w, y, PLANKS, true);
    }
    Person p;
    p.x = r.Rand((left + 1) * 16, (left + w - 1) * 16);
    p.y = (top + h - 1) * 16;
    // Kinds past the shopkeeper are villagers; each kind picks its line.
    p.kind = (uint8_t)r.Rand(0, 5);
    if (p.kind > 2) p.kind = 0;
    if (p.kind == 0) p.dialogue = (uint16_t)r.Rand(0, 8);
    if (p.kind == 1) p.dialogue = (uint16_t)r.Rand(256, 264);
    if (p.kind == 2) p.dialogue = (uint16_t)r.Rand(512, 521);
    a.people.push_back(p);
}

// The area of an overworld tile with this terrain and encounter type.
inline Area MakeArea(Sequence& r, uint8_t terrain, uint8_t encounter, int32_t width, int32_t height) {
    Area a(width, height);
    if (terrain == PLAINS || terrain == FOREST) LayeredGround(a, r, terrain == FOREST);
    if (terrain == DESERT) Dunes(a, r);
    if (terrain == HOME) Bedrock(a, r);
    if (encounter == VILLAGE)
        for (int i = 0; i < 8; ++i) BuildHouse(a, r);
    return a;
}

}  // namespace reference
