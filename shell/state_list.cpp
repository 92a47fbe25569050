// The game's state, one entry per global (or per globals summed as one),
// each with how it is summed and what a program just started holds in it.
// A new global of the game goes here, or the symbol check of the tests
// fails naming it.
#include <algorithm>
#include <cstring>

#include "areas/areas.h"
#include "areas/enemy.h"
#include "areas/npc.h"
#include "base/assets.h"
#include "base/base.h"
#include "creatures/creatures.h"
#include "engine/dice.h"
#include "engine/draw.h"
#include "overworld/overworld.h"
#include "shell/state.h"

namespace {
// A number of the digest, summed as 64 bits.
#define NUMBER(g, start) {#g, [](StateSum& s) { s.N((int64_t)(g)); }, [] { g = (start); }, nullptr}
// A grid or table of numbers, summed as its raw bytes; all zero at start.
#define ZEROED(g) {#g, [](StateSum& s) { s.Bytes(&(g), sizeof(g)); }, [] { std::memset(&(g), 0, sizeof(g)); }, nullptr}
// Put back by FreshGame but never summed, for the reason given.
#define KEPT(g, start, why) {#g, [](StateSum& s) { s.Bytes(&(g), sizeof(g)); }, [] { g = (start); }, why}
// Writable, but not the game's state: nothing to sum and nothing to put back.
#define NOTSTATE(names, why) {names, nullptr, nullptr, why}

void Creature(StateSum& s, const entity& e) {
    for (int64_t v : {(int64_t)e.x, (int64_t)e.y, (int64_t)e.xv, (int64_t)e.yv, (int64_t)e.f, (int64_t)e.anim,
                      (int64_t)e.width, (int64_t)e.height, (int64_t)e.invinced, (int64_t)e.HP, (int64_t)e.onground,
                      (int64_t)e.swinging})
        s.N(v);
}

void Marker(StateSum& s) {
    for (int64_t v : {(int64_t)marker.x, (int64_t)marker.y, (int64_t)marker.f, (int64_t)marker.moving}) s.N(v);
}

// Only the extent in use: what lies beyond it is air without damage, and a
// column at a time keeps the sum to the bytes an area really has.
void AreaGrids(StateSum& s) {
    const int32_t w = std::min(std::max(areawidth, 0), AREAMAX), h = std::min(std::max(areaheight, 0), AREAMAX);
    for (int32_t x = 0; x < w; ++x) {
        s.Bytes(areatiles[x], (size_t)h);
        s.Bytes(areadamage[x], sizeof(int32_t) * (size_t)h);
    }
}

void ClearAreaGrids() {
    std::memset(areatiles, 0, sizeof areatiles);
    std::memset(areadamage, 0, sizeof areadamage);
}

void Enemies(StateSum& s) {
    enemies.ForEach([&](TEnemy* e) {
        Creature(s, *e);
        for (int64_t v : {(int64_t)e->kind, (int64_t)e->ATK, (int64_t)e->cooldown, (int64_t)e->r, (int64_t)e->g,
                          (int64_t)e->b, (int64_t)e->usedweapon, (int64_t)e->scathed})
            s.N(v);
    });
}

void Npcs(StateSum& s) {
    npcs.ForEach([&](NPC* n) {
        Creature(s, *n);
        for (int64_t v : {(int64_t)n->kind, (int64_t)n->dialogue, (int64_t)n->speaking}) s.N(v);
        s.Bytes(n->stock, sizeof n->stock);
        s.Bytes(n->amt, sizeof n->amt);
    });
}

void Textleaps(StateSum& s) {
    textleaps.ForEach([&](textleap* t) {
        for (int64_t v : {(int64_t)t->x, (int64_t)t->y, (int64_t)t->dur, (int64_t)t->r, (int64_t)t->g, (int64_t)t->b})
            s.N(v);
        s.Text(t->str);
    });
}

// Between encounters there is no player creature, and nothing is summed.
void AreaPlayer(StateSum& s) {
    if (areaplayer) Creature(s, *areaplayer);
}

void DrawColour(StateSum& s) {
    int r, g, b;
    CurrentColor(r, g, b);
    for (int64_t v : {r, g, b}) s.N(v);
}

void DrawOrigin(StateSum& s) {
    int x, y;
    GetDrawOrigin(x, y);
    for (int64_t v : {x, y}) s.N(v);
}

constexpr StateEntry LIST[] = {
    // ------------------------------------------------ summed, in the digest's order
    // The map, the home tile and the marker.
    ZEROED(terrain),
    ZEROED(encountertype),
    NUMBER(homex, 0),
    NUMBER(homey, 0),
    {"marker", Marker, [] { marker = actor{}; }, nullptr},
    // The player's lasting state, as a new player has it.
    NUMBER(maxHP, 3),
    NUMBER(maxAP, 3),
    NUMBER(AP, 0),
    NUMBER(APgain, 1),
    NUMBER(gold, 0),
    NUMBER(alchemy, 1),
    NUMBER(level, 1),
    NUMBER(player::exp, 0),
    NUMBER(form, 0),
    NUMBER(invopen, 0),
    NUMBER(facelock, 0),
    NUMBER(jumpbuf, 0),
    ZEROED(invitem),
    ZEROED(invamt),
    // No area resident: all air at the largest size, nobody in it.
    NUMBER(areawidth, AREAMAX),
    NUMBER(areaheight, AREAMAX),
    {"areatiles, areadamage", AreaGrids, ClearAreaGrids, nullptr},
    {"enemies", Enemies, [] { enemies.Clear(); }, nullptr},
    {"npcs", Npcs, [] { npcs.Clear(); }, nullptr},
    {"textleaps", Textleaps, [] { textleaps.Clear(); }, nullptr},
    {"areaplayer", AreaPlayer, [] { areaplayer = nullptr; }, nullptr},
    NUMBER(temparea, 0),
    NUMBER(justleft, 0),
    NUMBER(camx, 0),
    NUMBER(camy, 0),
    NUMBER(swapmode, 0),
    NUMBER(lookdir, 0),
    NUMBER(pose, 0),
    NUMBER(untouched, 1),
    NUMBER(noturning, 1),
    NUMBER(blockless, 1),
    NUMBER(escapespent, 0),
    // The game's dice.
    NUMBER(randstate, DICESTART),
    NUMBER(quit, 0),
    // The settings, as they are with no settings file.
    NUMBER(UPSCALING, 2),
    NUMBER(FULLSCREEN, 0),
    NUMBER(VSYNC, 1),
    {"WORLDNAME", [](StateSum& s) { s.Text(WORLDNAME); }, [] { WORLDNAME = "Defaultia"; }, nullptr},

    // ------------------------------------------------ put back, never summed
    // How fast the machine runs decides these, never what the game does: a
    // replay plays the same on any machine, so the checkpoints leave them out.
    KEPT(accum, 0.0f, "timing"),
    KEPT(lasttime, 0, "timing"),
    KEPT(deltatime, 0, "timing"),
    KEPT(FPS::framecount, 0, "frame counter"),
    KEPT(FPS::nextupdate, 0, "frame counter"),
    KEPT(FPS::current, 0, "frame counter"),
    // Drawing rolls its own dice and keeps its own pen, so however many
    // frames a machine draws, the game goes the same way.
    KEPT(drawrandstate, DICESTART, "drawing"),
    {"engine/draw.cpp:colr, engine/draw.cpp:colg, engine/draw.cpp:colb", DrawColour,
     [] { SetColor(255, 255, 255); }, "drawing"},
    {"engine/draw.cpp:originx, engine/draw.cpp:originy", DrawOrigin, [] { SetDrawOrigin(0, 0); }, "drawing"},
    // Drawing cannot be asked its clearing colour: put back, never compared.
    {"engine/draw.cpp:clsr, engine/draw.cpp:clsg, engine/draw.cpp:clsb", nullptr, [] { SetClsColor(0, 0, 0); },
     "drawing"},

    // ------------------------------------------------ writable, not state
    // The built-in pictures and sounds: loaded at start-up from what the
    // program carries, the same in every run.
    NOTSTATE("gfxoverworld, gfxblock, gfxblockdmg, gfxitem, gfxplayericon, gfxplayer, gfxslash, gfxfont, gfxarrow, "
             "gfxheart, gfxshield, gfxgold, gfxexp, gfxbag, gfxbaddie, gfxtrash, gfxnpc, gfxvillage, gfxenemy0, "
             "gfxenemy1, gfxenemy2",
             "asset"),
    NOTSTATE("sfxslash, sfxoof, sfxjump, sfxland, sfxenemyhit, sfxhotbar, sfxplace, sfxmenu, sfxswap, sfxshovel, "
             "sfxbreak, sfxraredrop, sfxvanquish, sfxdiscard, sfxinventory, sfxdeath, sfxdeath2, sfxtransin, "
             "sfxtransout, sfxapget, sfxaplose, sfxbonus, sfxmoneyget, sfxnope",
             "asset"),
    // Work space kept out of the frame's and the loaders' way (no allocation
    // per use): each is filled whole before it is read, on every use.
    NOTSTATE("areas/areafile.cpp:incoming", "scratch"),
    NOTSTATE("overworld/generate.cpp:rows", "scratch"),
    NOTSTATE("overworld/map.cpp:floodwork", "scratch"),
    NOTSTATE("base/text.cpp:scratch", "scratch"),
    NOTSTATE("overworld/worldfile.cpp:tilerecords", "scratch"),
};

#undef NUMBER
#undef ZEROED
#undef KEPT
#undef NOTSTATE
}  // namespace

std::span<const StateEntry> StateList() { return LIST; }
