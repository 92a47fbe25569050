// One stay in the resident area, from entry to exit: placing the player and
// the enemies, the update step with its contact and melee, the ways out, and
// what each way out does to the overworld.
#include <cstdlib>
#include <string>

#include "areas/areafile.h"
#include "areas/areas.h"
#include "areas/encounter.h"
#include "areas/enemy.h"
#include "areas/inventory.h"
#include "areas/npc.h"
#include "creatures/creatures.h"
#include "engine/dice.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "base/base.h"

namespace {
bool Held(int a, int b) { return KeyHeld(a) || KeyHeld(b); }
bool Hit(int a, int b) { return KeyPressed(a) > 0 || KeyPressed(b) > 0; }

// Lifts a creature pixel by pixel until neither lower corner is in a block.
// Above the surface line the sides are open and the top is air, so it ends;
// the bound is for areas that make no sense.
void StandOnSurface(entity& e) {
    for (int n = 0; n < 1 << 16; ++n) {
        const int32_t row = ToTile(e.y + e.height - 1);
        if (!IsSolid(ToTile(e.x), row) && !IsSolid(ToTile(e.x + e.width - 1), row)) return;
        --e.y;
    }
}

std::string HeartRow(int most, int have) {
    std::string s;
    for (int j = 1; j <= most; ++j) s += j <= have ? '\x02' : '\x04';
    return s;
}

void Touch(entity& p, TEnemy& e) {
    if (!Overlaps(e.x + 1, e.y + 1, e.width - 2, e.height - 2, p.x + 1, p.y + 1, p.width - 2, p.height - 2)) return;
    if (e.invinced != 0 || p.invinced != 0) return;
    if (e.ATK <= AP) {
        // The armour takes the whole blow; the player is still knocked back.
        AP -= e.ATK;
        p.TakeHit(0, &sfxaplose);
    } else {
        const int32_t damage = e.ATK - AP;
        if (damage < e.ATK) sfxaplose.Play();
        p.TakeHit((uint8_t)damage, &sfxoof);
        // Armour that took part of a blow keeps it from killing.
        if (p.HP < 1 && AP > 0) p.HP = 1;
        AP = 0;
    }
    e.scathed = 1;
    untouched = 0;
    textleap::Make(ArmourRow(), p.x + 8, p.y + 6, 60, 128, 128, 255);
    textleap::Make(HeartRow(maxHP, p.HP), p.x + 8, p.y + 11, 60, 255, 128, 128);
}

void Strike(entity& p, TEnemy& e) {
    const uint16_t held = invitem[0][5];
    if (p.swinging <= 2 || WeaponPower(held) <= 0) return;
    int32_t bx, by, bw, bh, rx = 0, ry = 0;
    bool up = false, down = false;
    if ((up = Held(KEY_UP, KEY_W))) {
        bx = p.x, by = p.y - 16, bw = 24, bh = 16, ry = 30;
    } else if ((down = Held(KEY_DOWN, KEY_S))) {
        bx = p.x, by = p.y + 8, bw = 16, bh = 24, ry = -30;
    } else if (p.f == 0) {
        bx = p.x - 16, by = p.y, bw = 24, bh = 16, rx = 30;
    } else if (p.f == 1) {
        bx = p.x + 8, by = p.y, bw = 24, bh = 16, rx = -30;
    } else {
        return;
    }
    if (!Overlaps(e.x, e.y, e.width, e.height, bx, by, bw, bh)) return;
    e.TakeHit((uint8_t)WeaponPower(held), &sfxenemyhit);
    WearHeld(1);
    if (up || down)
        p.yv = ry;
    else
        p.xv = rx;
    p.swinging = 1;
    if (held != 0) e.usedweapon = 1;
}
}  // namespace

void PlaceEnemies(const entity& p) {
    uint8_t per = 0, kind = 0;
    switch (TerrainAt(marker.x, marker.y)) {
    case terrains::plains: per = 2, kind = enemykinds::slime; break;
    case terrains::forest: per = 1, kind = enemykinds::bigslime; break;
    case terrains::desert: per = 1, kind = enemykinds::scorpion; break;
    default: return;
    }
    const int n = (per * (areawidth / 32) * (temparea + 1)) % 256;
    for (int i = 0; i < n; ++i) {
        TEnemy* e = enemies.AddLast(new TEnemy);
        e->SetKind(kind);
        // Nobody starts within half a screen of the player. A narrow area
        // may have no such place: then the enemy waits at the far end.
        bool placed = false;
        for (int tries = 0; tries < 4096 && !placed; ++tries) {
            e->x = Rand(0, areawidth * 16 - e->width);
            placed = std::abs(p.x - e->x) > 240;
        }
        if (!placed) e->x = p.x < areawidth * 16 / 2 ? areawidth * 16 - e->width : 0;
        e->y = (areaheight / 2) * 16;
        StandOnSurface(*e);
    }
}

EncounterStep::EncounterStep(entity& player, uint8_t enc, uint8_t fromeast) : p(player), enc(enc), fromeast(fromeast) {}

bool EncounterStep::Run() {
    count = 0;
    // A villager's words stay up for a number of update steps, not of
    // frames: a faster display must not cut them short, nor change when
    // talking to it again starts them anew.
    npcs.ForEach([](NPC* n) {
        if (n->speaking > 0) --n->speaking;
    });
    if (form == 0) {
        if (KeyHeld(KEY_SPACE)) {
            if (swapmode == 0) {
                sfxhotbar.Play();
                for (int k : {KEY_UP, KEY_W, KEY_RIGHT, KEY_D, KEY_DOWN, KEY_S, KEY_LEFT, KEY_A}) KeyPressed(k);
            }
            swapmode = 1;
            // Up, right, down, left: the quick slots around the held item.
            if (Hit(KEY_UP, KEY_W))
                SwapSlots(0, 5, 1, 5);
            else if (Hit(KEY_RIGHT, KEY_D))
                SwapSlots(0, 5, 2, 5);
            else if (Hit(KEY_DOWN, KEY_S))
                SwapSlots(0, 5, 3, 5);
            else if (Hit(KEY_LEFT, KEY_A))
                SwapSlots(0, 5, 4, 5);
        } else {
            swapmode = 0;
            if ((Held(KEY_LEFT, KEY_A) && fromeast == 0) || (Held(KEY_RIGHT, KEY_D) && fromeast == 1)) noturning = 0;
            p.FollowInput();
        }
    } else {
        p.CreatureInput(form);
    }
    p.DBGTransform();
    p.UpdateMotion();

    if (std::abs(p.xv) > 9) {
        p.anim = (uint8_t)(p.anim + std::abs(p.xv / 10));
        if (pose == 0) pose = 1;
        if (p.anim > 16 && pose == 1) {
            pose = 2;
            p.anim = 0;
        } else if (p.anim > 16) {
            pose = 1;
            p.anim = 0;
        }
    } else {
        pose = 0;
    }
    if (p.onground == 0) pose = 1;
    if (invopen == 1) pose = 3;

    textleaps.ForEach([](textleap* t) {
        if (--t->dur <= 0) textleaps.Remove(t);
    });

    if (p.HP > 0) {
        if (p.f == 0) camx += (p.x - 128 - camx) / 25;
        if (p.f == 1) camx += (p.x + 144 - camx) / 25;
        if (lookdir == 1 && swapmode == 0)
            camy += (p.y - 64 - camy) / 10;
        else if (lookdir == 2 && swapmode == 0)
            camy += (p.y + 80 - camy) / 10;
        else
            camy += (p.y + 8 - camy) / 10;
    }
    if (facelock > 0) --facelock;

    npcs.ForEach([&](NPC* n) {
        if (std::abs(n->x - p.x) < 480 && std::abs(n->y - p.y) < 270) {
            n->Act(p.x, p.y);
            n->UpdateMotion();
        }
    });

    // Only what is within a screen of the player lives this step.
    enemies.ForEach([&](TEnemy* e) {
        ++count;
        if (std::abs(e->x - p.x) >= 480 || std::abs(e->y - p.y) >= 270) return;
        e->Act(p.x, p.y, p.xv, p.yv);
        e->UpdateMotion();
        e->f = p.x > e->x ? 1 : 0;
        Touch(p, *e);
        Strike(p, *e);
        if (e->x < 0) e->x = 0;
        if (e->x > (areawidth - 1) * 16) e->x = (areawidth - 1) * 16;
        if (e->HP == 0) {
            e->OnDeath(p.x, p.y);
            sfxvanquish.Play();
            enemies.Remove(e);
        }
    });

    if (enc == encounters::cleared && count == 0) {
        if (InWorld(marker.x, marker.y)) encountertype[marker.x][marker.y] = encounters::claimed;
        return false;
    }
    return true;
}

uint8_t RunEncounter() {
    const uint8_t enc = EncounterAt(marker.x, marker.y);
    PrintLine("entering encounter type: " + std::to_string(enc));
    entity p;
    p.HP = maxHP;
    // Moving down or left on the map comes in from the east.
    const uint8_t fromeast = marker.f == 2 || marker.f == 3;
    if (fromeast == 0) p.f = 1;
    if (enc == encounters::wild || enc == encounters::claimed || enc == encounters::village) {
        p.x = fromeast ? (areawidth - 1) * 16 : 0;
    } else {
        p.x = (areawidth * 16) / 2;
        p.f = 2;
        p.xv = p.yv = 0;
        p.swinging = 0;
        lookdir = 0;
        facelock = 0;
    }
    if (form != 0) p.CreatureChange(form);
    p.y = (areaheight / 2 - 1) * 16;
    StandOnSurface(p);
    camx = p.x;
    camy = p.y;
    if (enc != encounters::home && enc != encounters::village) PlaceEnemies(p);
    for (int k : {KEY_Z, KEY_O, KEY_X, KEY_P, KEY_ENTER, KEY_SPACE}) KeyPressed(k);
    untouched = noturning = blockless = 1;
    p.LevelTransIn(p.f);

    EncounterStep step(p, enc, fromeast);
    {
        // Cleared however the loop is left, so it never outlives p.
        struct Watched {
            explicit Watched(entity& p) { areaplayer = &p; }
            ~Watched() { areaplayer = nullptr; }
        } watched(p);
        for (;;) {
            if (StepDue() && !step.Run()) break;
            p.DrawView();
            Flip(VSYNC);
            const bool escape = KeyHeld(KEY_ESCAPE);
            if (!escape) escapespent = 0;
            if (p.x < -14 || p.x >= areawidth * 16 - 2 || p.HP == 0 || quit == 1 || (escape && !escapespent)) break;
        }
    }
    const int32_t count = step.count;

    uint8_t exterminated = 0;
    if (p.HP > 0) {
        if (enc == encounters::cleared && count == 0) {
            p.LevelTransOut(2);
            exterminated = 1;
        } else {
            p.LevelTransOut(p.f);
        }
    } else {
        p.GetRekt();
    }
    if (enc == encounters::claimed || enc == encounters::home || enc == encounters::village)
        SaveArea(marker.x, marker.y);
    enemies.Clear();
    npcs.Clear();
    textleaps.Clear();

    if (enc == encounters::wild || enc == encounters::claimed) {
        if (p.x < -14 && fromeast == 0) {
            // Back the way it came.
            if (marker.f == 0) {
                marker.f = 2;
                marker.Move(marker.x, marker.y + 1);
            } else if (marker.f == 1) {
                marker.f = 3;
                marker.Move(marker.x - 1, marker.y);
            }
        } else if (p.x >= areawidth * 16 - 2 && fromeast == 1) {
            if (marker.f == 2) {
                marker.f = 0;
                marker.Move(marker.x, marker.y - 1);
            } else if (marker.f == 3) {
                marker.f = 1;
                marker.Move(marker.x + 1, marker.y);
            }
        } else if (KeyPressed(KEY_ESCAPE) > 0) {
            marker.x = homex;
            marker.y = homey;
        } else {
            // Only walking out of the far side wins. Escape held after its
            // press was spent elsewhere (closing the bag) ends the stay too,
            // but is no win.
            const bool farside = p.x < -14 || p.x >= areawidth * 16 - 2;
            if (enc == encounters::wild && p.HP > 0 && quit == 0 && farside) ScoreWin(count == 0);
            marker.moving = 8;
            justleft = 1;
        }
    }
    ClearArea();
    for (int k : {KEY_X, KEY_P, KEY_Z, KEY_O, KEY_SPACE}) KeyPressed(k);
    temparea = 0;

    if (p.HP < 1) {
        marker.moving = 0;
        marker.x = homex;
        marker.y = homey;
        // The marker is carried home and has no slide to finish: a flag left
        // from the lost tile would let the next wild tile stepped onto pass
        // without its encounter.
        justleft = 0;
        LoadArea(homex, homey, 32, 32);
        RunEncounter();
        return 2;
    }
    PrintLine("leaving encounter type: " + std::to_string(enc));
    if (exterminated) return 2;
    return p.f == 1 ? 1 : 0;
}

void ScoreWin(bool clear) {
    const uint8_t ext = clear ? 1 : 0;
    const int32_t total = BonusTotal(TerrainTier(), ext);
    player::exp += total;
    const int32_t mx = marker.x, my = marker.y;
    if (InWorld(mx, my)) encountertype[mx][my] = encounters::cleared;
    FloodReveal(mx - 1, my);
    FloodReveal(mx + 1, my);
    FloodReveal(mx, my - 1);
    FloodReveal(mx, my + 1);
    ClearKeys();
    if (untouched || ext || noturning || blockless) BonusScreen(total, ext);
}
