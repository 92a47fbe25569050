// The game's state summed up in one number, for the replay's checkpoints:
// everything an update step reads or writes, and nothing the machine's
// timing or the drawing decides (the step clock, the frame counter,
// drawing's dice).
#include <algorithm>

#include "areas/areas.h"
#include "areas/enemy.h"
#include "areas/npc.h"
#include "creatures/creatures.h"
#include "engine/dice.h"
#include "overworld/overworld.h"
#include "base/base.h"
#include "shell/shell.h"

namespace {
// 64-bit FNV-1a: cheap, and any changed byte changes the sum.
struct Sum {
    uint64_t h = 14695981039346656037ull;
    void Bytes(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    }
    // Numbers go in as 64 bits, so the sum does not depend on their types' sizes.
    void N(int64_t v) { Bytes(&v, sizeof v); }
    void Text(const std::string& s) {
        N((int64_t)s.size());
        Bytes(s.data(), s.size());
    }
};

void Creature(Sum& s, const entity& e) {
    for (int64_t v : {(int64_t)e.x, (int64_t)e.y, (int64_t)e.xv, (int64_t)e.yv, (int64_t)e.f, (int64_t)e.anim,
                      (int64_t)e.width, (int64_t)e.height, (int64_t)e.invinced, (int64_t)e.HP, (int64_t)e.onground,
                      (int64_t)e.swinging})
        s.N(v);
}
}  // namespace

uint64_t StateDigest() {
    Sum s;
    s.Bytes(terrain, sizeof terrain);
    s.Bytes(encountertype, sizeof encountertype);
    for (int64_t v : {(int64_t)homex, (int64_t)homey, (int64_t)marker.x, (int64_t)marker.y, (int64_t)marker.f,
                      (int64_t)marker.moving})
        s.N(v);
    for (int64_t v : {(int64_t)maxHP, (int64_t)maxAP, (int64_t)AP, (int64_t)APgain, (int64_t)gold, (int64_t)alchemy,
                      (int64_t)level, (int64_t)player::exp, (int64_t)form, (int64_t)invopen, (int64_t)facelock,
                      (int64_t)jumpbuf})
        s.N(v);
    s.Bytes(invitem, sizeof invitem);
    s.Bytes(invamt, sizeof invamt);
    s.N(areawidth);
    s.N(areaheight);
    const int32_t w = std::min(std::max(areawidth, 0), AREAMAX), h = std::min(std::max(areaheight, 0), AREAMAX);
    for (int32_t x = 0; x < w; ++x) {
        s.Bytes(areatiles[x], (size_t)h);
        s.Bytes(areadamage[x], sizeof(int32_t) * (size_t)h);
    }
    enemies.ForEach([&](TEnemy* e) {
        Creature(s, *e);
        for (int64_t v : {(int64_t)e->kind, (int64_t)e->ATK, (int64_t)e->cooldown, (int64_t)e->r, (int64_t)e->g,
                          (int64_t)e->b, (int64_t)e->usedweapon, (int64_t)e->scathed})
            s.N(v);
    });
    npcs.ForEach([&](NPC* n) {
        Creature(s, *n);
        for (int64_t v : {(int64_t)n->kind, (int64_t)n->dialogue, (int64_t)n->speaking}) s.N(v);
        s.Bytes(n->stock, sizeof n->stock);
        s.Bytes(n->amt, sizeof n->amt);
    });
    textleaps.ForEach([&](textleap* t) {
        for (int64_t v : {(int64_t)t->x, (int64_t)t->y, (int64_t)t->dur, (int64_t)t->r, (int64_t)t->g, (int64_t)t->b})
            s.N(v);
        s.Text(t->str);
    });
    if (areaplayer) Creature(s, *areaplayer);
    for (int64_t v : {(int64_t)temparea, (int64_t)justleft, (int64_t)camx, (int64_t)camy, (int64_t)swapmode,
                      (int64_t)lookdir, (int64_t)pose, (int64_t)untouched, (int64_t)noturning, (int64_t)blockless,
                      (int64_t)escapespent, (int64_t)randstate, (int64_t)quit, (int64_t)UPSCALING, (int64_t)FULLSCREEN,
                      (int64_t)VSYNC})
        s.N(v);
    s.Text(WORLDNAME);
    return s.h;
}
