// The player's keys inside an area: walking, looking, jumping with a short
// press buffer, swinging to hit and dig, placing blocks, talking, and the
// creature forms with their own controls.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "areas/areas.h"
#include "areas/inventory.h"
#include "areas/npc.h"
#include "creatures/control.h"
#include "creatures/creatures.h"
#include "creatures/items.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "base/base.h"

namespace {
bool Held(int a, int b) { return KeyHeld(a) || KeyHeld(b); }
bool Hit(int a, int b) { return KeyPressed(a) > 0 || KeyPressed(b) > 0; }

// The tile an action aims at: up or down by the keys, else ahead; a player
// facing neither way aims nowhere.
bool Target(const entity& p, int32_t& tx, int32_t& ty) {
    const int32_t cx = ToTile(p.x + 7), cy = ToTile(p.y + 7);
    if (Held(KEY_UP, KEY_W)) {
        tx = cx, ty = cy - 1;
    } else if (Held(KEY_DOWN, KEY_S)) {
        tx = cx, ty = cy + 1;
    } else if (p.f == 0) {
        tx = cx - 1, ty = cy;
    } else if (p.f == 1) {
        tx = cx + 1, ty = cy;
    } else {
        return false;
    }
    return true;
}

void SwingAndDig(entity& p, uint16_t held) {
    const int32_t dig = DigPower(held);
    p.swinging = dig > 1 ? 9 : 8;
    facelock = 20;
    UseSound(held).Play();
    int32_t tx, ty;
    if (!Target(p, tx, ty)) return;
    const uint8_t block = GetBlock(tx, ty);
    const int32_t hardness = Hardness(block);
    if (hardness <= 0) return;
    areadamage[tx][ty] += dig;
    if (dig > 0) WearHeld(1);
    if (areadamage[tx][ty] < hardness) return;
    if (IsSolid(tx, ty)) blockless = 0;
    // A block with no room in the bag is lost all the same.
    const uint16_t n = AddItem(block, 1);
    if (n != 0) textleap::Make(std::to_string(n), p.x + 8, p.y + 8, 30, 255, 255, 255);
    areatiles[tx][ty] = blocks::air;
    areadamage[tx][ty] = 0;
    sfxbreak.Play();
    SettleAround(tx, ty);
}

void Place(entity& p, uint8_t block) {
    int32_t tx, ty;
    if (Target(p, tx, ty) && CanPlace(tx, ty, block) && SetBlock(tx, ty, block, false)) {
        if (IsSolid(tx, ty)) blockless = 0;
        UseSound(block).Play();
        --invamt[0][5];
        SettleAround(tx, ty);
    }
    if (invamt[0][5] == 0) invitem[0][5] = 0;
}

void Talk(entity& p) {
    p.swinging = 1;
    NPC* who = nullptr;
    npcs.ForEach([&](NPC* n) {
        if (!who && std::abs(n->x - p.x) < 24 && std::abs(n->y - p.y) < 24) who = n;
    });
    if (!who) return;
    PrintLine("spoke with type: " + std::to_string(who->kind));
    switch (who->kind) {
    case npckinds::villager:
        if (who->speaking == 0) who->speaking = 240;
        break;
    case npckinds::collector: who->Buy(p); break;
    case npckinds::shopkeeper: who->Vend(p); break;
    }
}
}  // namespace

bool CanPlace(int32_t x, int32_t y, uint8_t code) { return code != blocks::bush || IsSolid(x, y + 1); }

void SettleAround(int32_t x, int32_t y) {
    for (int32_t j = y - 1; j <= y + 1; ++j)
        for (int32_t i = x - 1; i <= x + 1; ++i)
            if (!CanPlace(i, j, GetBlock(i, j))) SetBlock(i, j, blocks::air, true);
}

int32_t entity::FollowInput() {
    const bool acting = Held(KEY_Z, KEY_O);
    if (Held(KEY_LEFT, KEY_A) && xv > -60) {
        xv -= 5;
        if (!acting && facelock == 0) f = 0;
    }
    if (Held(KEY_RIGHT, KEY_D) && xv < 60) {
        xv += 5;
        if (!acting && facelock == 0) f = 1;
    }
    lookdir = 0;
    if (Held(KEY_UP, KEY_W)) {
        lookdir = 1;
        facelock = 0;
        xv = std::clamp(xv, -25, 25);
    }
    if (Held(KEY_DOWN, KEY_S)) {
        lookdir = 2;
        facelock = 0;
        xv = std::clamp(xv, -25, 25);
    }

    const bool jumpkey = Held(KEY_X, KEY_P);
    if (jumpkey && jumpbuf == 0) jumpbuf = 7;
    // The head room is judged where the body is about to be.
    const int32_t row = ToTile(y - 1);
    if (onground == 1 && jumpbuf > 1 && !IsSolid(ToTile(x + 1 + xv / 10), row) &&
        !IsSolid(ToTile(x + width - 2 + xv / 20), row)) {
        jumpbuf = 1;
        sfxjump.Play();
        yv = -34;
        onground = 0;
    } else if (jumpkey && onground == 0 && yv < -10) {
        yv -= 2;
    }
    if (jumpbuf > 1) --jumpbuf;
    if (!jumpkey && jumpbuf == 1) jumpbuf = 0;

    if (!acting && swinging == 1) swinging = 0;
    const uint16_t held = invitem[0][5];
    const bool village = EncounterAt(marker.x, marker.y) == encounters::village;
    // Everything but the hand and the sword swings again while the key is held.
    if (WeaponPower(held) == 0 && !village && swinging == 1) swinging = 0;
    if (acting && swinging == 0) {
        if (village)
            Talk(*this);
        else if (WeaponPower(held) > 0 || DigPower(held) > 0)
            SwingAndDig(*this, held);
        else if (held < 256)
            Place(*this, (uint8_t)held);
    }

    if (KeyPressed(KEY_ENTER) > 0) OpenInventory();
    if (CloseRequested()) quit = 1;
    return 0;
}

int32_t entity::CreatureInput(uint8_t inform) {
    if (inform == 1 || inform == 2) {
        const int32_t a = inform == 1 ? 3 : 2, s = inform == 1 ? 25 : 20, j = inform == 1 ? 50 : 40;
        if (Held(KEY_LEFT, KEY_A)) {
            xv -= a;
            f = 0;
        } else if (Held(KEY_RIGHT, KEY_D)) {
            xv += a;
            f = 1;
        }
        // A slime only hops sideways; a press with no direction is spent.
        if (Hit(KEY_X, KEY_P) && onground == 1) {
            if (Held(KEY_LEFT, KEY_A)) {
                xv = -s;
                Jump(j);
            } else if (Held(KEY_RIGHT, KEY_D)) {
                xv = s;
                Jump(j);
            }
        }
        if (onground == 1) xv = 0;
    } else if (inform == 3) {
        if (Held(KEY_LEFT, KEY_A))
            f = 0;
        else if (Held(KEY_RIGHT, KEY_D))
            f = 1;
        if (f == 0 && std::abs(xv) < 29) xv -= 4;
        if (f == 1 && std::abs(xv) < 29) xv += 4;
        if (IsSolid(ToTile(x + f * 16), ToTile(y + 8))) Jump(35);
        if (Hit(KEY_X, KEY_P)) Jump(55);
    }
    return 0;
}

int32_t entity::DBGTransform() {
    for (int k = 0; k <= 3; ++k)
        if (KeyPressed(KEY_0 + k) > 0) CreatureChange((uint8_t)k);
    return 0;
}

int32_t entity::OpenInventory() { return InventoryScreen(*this); }
