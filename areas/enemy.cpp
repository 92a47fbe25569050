// Slimes, big slimes and scorpions: how they are made, how they chase the
// player, what their death gives, and how they look.
#include "areas/enemy.h"

#include <cstdlib>
#include <string>

#include "areas/areas.h"
#include "areas/inventory.h"
#include "engine/dice.h"
#include "engine/draw.h"
#include "base/assets.h"
#include "base/base.h"

namespace {
// Bright enough to read against any sky.
void BrightTint(TEnemy& e) {
    do {
        e.r = (uint8_t)Rand(0, 255);
        e.g = (uint8_t)Rand(0, 255);
        e.b = (uint8_t)Rand(0, 255);
    } while (e.r + e.g + e.b < 400);
}

// One glyph per point: a full one up to have, an empty dot beyond it.
std::string PointRow(int most, int have, char full) {
    std::string s;
    for (int j = 1; j <= most; ++j) s += j <= have ? full : '\x04';
    return s;
}

char Mark(int col, int row) { return invitem[col][row] != 0 ? '\x01' : '\x00'; }
}  // namespace

std::string ArmourRow() { return PointRow(maxAP, AP, '\x03'); }

int32_t TEnemy::SetKind(uint8_t k) {
    kind = k;
    switch (k) {
    case enemykinds::slime:
        width = height = 8;
        HP = 2;
        ATK = 1;
        BrightTint(*this);
        break;
    case enemykinds::bigslime:
        width = height = 12;
        HP = 4;
        ATK = 2;
        BrightTint(*this);
        break;
    case enemykinds::scorpion:
        width = 16;
        height = 12;
        HP = 6;
        ATK = 4;
        r = (uint8_t)Rand(192, 255);
        g = (uint8_t)Rand(160, 192);
        b = 128;
        break;
    }
    return 0;
}

bool TEnemy::CoolEnough(int32_t v) {
    if (cooldown == 0) {
        cooldown = v;
        return true;
    }
    --cooldown;
    return false;
}

int32_t TEnemy::Act(int32_t px, int32_t py, int32_t /*pxv*/, int32_t /*pyv*/) {
    if (kind == enemykinds::slime || kind == enemykinds::bigslime) {
        const bool small = kind == enemykinds::slime;
        const int32_t J = small ? 50 : 40, L = small ? 25 : 20, H = small ? 2 : 1;
        const bool near = std::abs(x - px) < 64 && std::abs(y - py) < 64 && onground == 1;
        bool hopped = false;
        if (near && CoolEnough(90)) {
            Jump(J);
            Approach(L, px, py);
            hopped = true;
        }
        if (!hopped && onground == 1) CoolEnough(0);
        // A slime with more than one hit point steers harder in the air.
        if (HP > 1) Approach(H, px, py);
        Approach(1, px, py);
        if (onground == 1) xv = 0;
    } else if (kind == enemykinds::scorpion) {
        if (std::abs(xv) < 29) Approach(4, px, py);
        if (IsSolid(ToTile(x + f * 16), ToTile(y + 8))) Jump(35);
        if (std::abs(x - px) < 32 && y > py) Jump(55);
    }
    return 0;
}

int32_t TEnemy::OnDeath(int32_t px, int32_t py) {
    bool gotitem = false;
    uint16_t added = 0;
    // Passing visits leave nothing behind.
    auto drop = [&](uint16_t item) {
        if (temparea == 0) {
            added = AddItem(item, 1);
            gotitem = true;
        }
    };
    switch (kind) {
    case enemykinds::slime: drop(SLIMEDROP); break;
    case enemykinds::bigslime:
        drop(BIGSLIMEDROP);
        for (int i = 0; i < 2; ++i) {
            TEnemy* c = enemies.AddLast(new TEnemy);
            c->SetKind(enemykinds::slime);
            c->r = r, c->g = g, c->b = b;
            c->x = x + 8 * i;
            c->y = y;
            c->f = f;
            c->TakeHit(1, &sfxenemyhit);
            c->yv = 20;
            c->scathed = 1;
        }
        break;
    case enemykinds::scorpion: drop(SCORPIONDROP); break;
    }
    if (scathed == 0) {
        if (!gotitem) sfxapget.Play();
        AP = (uint8_t)(AP + APgain);
        if (AP > maxAP) AP = maxAP;
        textleap::Make(ArmourRow(), px + 8, py + 16, 60, 128, 128, 255);
    }
    if (usedweapon == 0) {
        gold += alchemy * TerrainTier();
        sfxmoneyget.Play();
    }
    if (gotitem && added != 0) {
        sfxraredrop.Play();
        textleap::Make("+ITEM", x + width / 2, y - 36, 60, 255, 255, 128);
        for (int i = 0; i < 5; ++i) {
            std::string row{Mark(i, 5), ' '};
            for (int c = 0; c < 5; ++c) row += Mark(c, i);
            textleap::Make(row, x + width / 2, y - 30 + 5 * i, 60, 192, 192, 160);
        }
    } else if (gotitem) {
        sfxnope.Play();
        textleap::Make("FULL", x + width / 2, y, 60, 255, 128, 64);
    }
    return 0;
}

int32_t TEnemy::Draw(uint8_t plain) {
    if (plain == 0) {
        const int o = DrawRand(0, 4) * 8;
        SetColor(r + o, g + o, b + o);
    }
    switch (kind) {
    case enemykinds::slime: DrawSprite(gfxenemy0, x, y, onground); break;
    case enemykinds::bigslime: DrawSprite(gfxenemy1, x, y, onground); break;
    case enemykinds::scorpion: DrawSprite(gfxenemy2, x, y, 2 * f + DrawRand(0, 1)); break;
    }
    return 0;
}
