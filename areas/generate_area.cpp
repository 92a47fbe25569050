// Making a fresh area from its overworld tile: layered ground with trees and
// bushes on plains and in forest, dunes in the desert, bedrock at home, and
// houses with their people in a village.
#include "areas/areas.h"
#include "areas/npc.h"
#include "engine/dice.h"
#include "base/base.h"
#include "overworld/overworld.h"

namespace {
// Generation stores most ground directly; builders may reach past the edges.
void Put(int32_t x, int32_t y, uint8_t code) {
    if (InArea(x, y)) areatiles[x][y] = code;
}

bool IsGrass(int32_t x, int32_t y) { return GetBlock(x, y) == blocks::grass; }

// A surface row with one neighbour of grass keeps what it has; two make it
// grass, none make it air.
void SmoothRow(int32_t x, int32_t row) {
    const int n = IsGrass(x - 1, row) + IsGrass(x + 1, row);
    if (n == 2) Put(x, row, blocks::grass);
    if (n == 0) Put(x, row, blocks::air);
}

void LayeredGround(bool forest) {
    const int32_t w = areawidth, h = areaheight, half = h / 2, R = forest ? 3 : 2;
    for (int32_t y = half; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) Put(x, y, blocks::stone);
    for (int32_t y = half; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            if (Rand(0, y - half) <= 4) Put(x, y, blocks::dirt);
            if (y == half) Put(x, y, blocks::grass);
        }
    for (int32_t x = 0; x < w; ++x)
        if (Rand(0, R) != 0) {
            Put(x, half - 1, blocks::grass);
            Put(x, half, (uint8_t)Rand(1, 2));
        }
    for (int32_t x = 0; x < w; ++x)
        if (IsGrass(x, half - 1) && Rand(0, R) != 0) Put(x, half - 2, blocks::grass);
    for (int pass = 0; pass < 2; ++pass)
        for (int32_t x = 1; x <= w - 2; ++x) {
            SmoothRow(x, half - 1);
            SmoothRow(x, half - 2);
            if (IsGrass(x, half - 2) && IsGrass(x, half - 1)) {
                if (!IsGrass(x - 1, half - 2) && !IsGrass(x - 1, half - 1)) Put(x, half - 2, blocks::air);
                if (!IsGrass(x + 1, half - 2) && !IsGrass(x + 1, half - 1)) Put(x, half - 2, blocks::air);
            }
        }
    for (int32_t x = 1; x <= w - 2; ++x) {
        if (!forest) {
            if (Chance(2)) {
                GrowTree(x, half, 0, 2, 1);
                ++x;
            } else if (Chance(5)) {
                SetBlock(x, FindSurface(x, half), blocks::bush, false);
            }
        } else {
            if (Chance(70)) SetBlock(x, FindSurface(x, half), blocks::bush, false);
            if (Chance(25)) {
                GrowTree(x, half, 2, 4, 4);
                ++x;
                if (Chance(70)) SetBlock(x, FindSurface(x, half), blocks::bush, false);
            }
        }
    }
}

void Dunes() {
    const int32_t w = areawidth, h = areaheight, half = h / 2;
    for (int32_t y = half; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) Put(x, y, blocks::sandstone);
    for (int32_t y = half; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            if (Rand(0, y - half) == 0) SetBlock(x, y, blocks::sand, true);
    int32_t top = half - Rand(0, 8);
    for (int32_t x = 0; x < w; ++x) {
        int32_t d = Rand(-2, 2);
        if (d == -2 || d == 2) d = 0;
        top += d;
        if (top > half) top = half;
        for (int32_t y = top; y <= half; ++y) SetBlock(x, y, blocks::sand, true);
        if (top < half - 8) ++top;
    }
}

void Bedrock() {
    const int32_t w = areawidth, h = areaheight, half = h / 2;
    for (int32_t y = half; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) SetBlock(x, y, blocks::bedrock, false);
    for (int32_t y = half; y >= half - 3; --y)
        for (int32_t x = 0; x < w; ++x)
            if (GetBlock(x, y + 1) == blocks::bedrock && Chance(70)) SetBlock(x, y, blocks::bedrock, false);
}

// One row of a crown: leaves either side of the trunk, the outer ones only
// sometimes and never over another tree's wood.
void CrownRow(int32_t x, int32_t r) {
    if (GetBlock(x - 2, r) != blocks::wood && Rand(0, 1) == 1) SetBlock(x - 2, r, blocks::leaves, false);
    SetBlock(x - 1, r, blocks::leaves, false);
    SetBlock(x, r, blocks::wood, true);
    SetBlock(x + 1, r, blocks::leaves, false);
    if (GetBlock(x + 2, r) != blocks::wood && Rand(0, 1) == 1) SetBlock(x + 2, r, blocks::leaves, false);
}
}  // namespace

void GrowTree(int32_t x, int32_t y, uint8_t trunk, uint8_t lower, uint8_t crown) {
    int32_t r = FindSurface(x, y);
    SetBlock(x, r, blocks::wood, true);
    --r;
    SetBlock(x, r, blocks::wood, true);
    for (int i = 0; i < trunk; ++i)
        if (Rand(0, 1) == 1) SetBlock(x, --r, blocks::wood, true);
    for (int i = 0; i < lower; ++i)
        if (Rand(0, 1) == 1) {
            --r;
            if (Rand(0, 2) == 0) SetBlock(x - 1, r, blocks::leaves, false);
            SetBlock(x, r, blocks::wood, true);
            if (Rand(0, 2) == 0) SetBlock(x + 1, r, blocks::leaves, false);
        }
    CrownRow(x, --r);
    for (int i = 0; i < crown; ++i)
        if (Rand(0, 1) == 1) CrownRow(x, --r);
    --r;
    if (GetBlock(x - 2, r) != blocks::wood) SetBlock(x - 2, r, blocks::leaves, false);
    SetBlock(x - 1, r, blocks::leaves, false);
    SetBlock(x, r, blocks::leaves, false);
    SetBlock(x + 1, r, blocks::leaves, false);
    if (GetBlock(x + 2, r) != blocks::wood) SetBlock(x + 2, r, blocks::leaves, false);
    --r;
    SetBlock(x - 1, r, blocks::leaves, false);
    SetBlock(x, r, blocks::leaves, false);
    SetBlock(x + 1, r, blocks::leaves, false);
}

void BuildHouse() {
    const int32_t half = areaheight / 2;
    const int32_t w = Rand(4, 8), h = Rand(4, 6), top = half - h, left = Rand(10, areawidth - 10);
    for (int32_t y = top; y <= top + h; ++y)
        for (int32_t x = left; x <= left + w; ++x) {
            const bool wall = y == top || y == top + h || x == left || x == left + w;
            SetBlock(x, y, wall ? blocks::brick : blocks::planks, true);
        }
    // A wall opens wherever the outside has standing room beside it.
    for (int32_t y = top + 1; y <= top + h - 1; ++y) {
        if (!IsSolid(left - 1, y) && IsSolid(left - 1, y + 1)) SetBlock(left, y, blocks::planks, true);
        if (!IsSolid(left + w + 1, y) && IsSolid(left + w + 1, y + 1)) SetBlock(left + w, y, blocks::planks, true);
    }
    NPC* n = npcs.AddLast(new NPC);
    n->x = Rand((left + 1) * 16, (left + w - 1) * 16);
    n->y = (top + h - 1) * 16;
    n->SetKind((uint8_t)Rand(0, 5));
}

bool GenerateArea(int32_t ox, int32_t oy, int32_t width, int32_t height) {
    if (width < 1 || height < 1 || width > AREAMAX || height > AREAMAX) return false;
    ShowNotice("Generating Area");
    ClearArea();
    areawidth = width;
    areaheight = height;
    switch (TerrainAt(ox, oy)) {
    case terrains::plains: LayeredGround(false); break;
    case terrains::forest: LayeredGround(true); break;
    case terrains::desert: Dunes(); break;
    case terrains::home: Bedrock(); break;
    default: break;
    }
    if (EncounterAt(ox, oy) == encounters::village)
        for (int i = 0; i < 8; ++i) BuildHouse();
    return true;
}
