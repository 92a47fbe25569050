// One frame of an area: the lit blocks around the player, creatures, the
// slash, the player in its form, bushes in front, texts, the swap cross and
// the HUD.
#include "creatures/view.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "areas/areas.h"
#include "areas/enemy.h"
#include "areas/npc.h"
#include "creatures/creatures.h"
#include "creatures/items.h"
#include "engine/dice.h"
#include "engine/draw.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "base/base.h"

namespace {
bool Held(int a, int b) { return KeyHeld(a) || KeyHeld(b); }

// The tiles of the lit square that are on screen, as [lo, hi] ranges.
struct Span {
    int32_t x0, x1, y0, y1;
};
Span LitSpan(int32_t pc, int32_t pr, int32_t r, int32_t ox, int32_t oy) {
    const int32_t ax = std::abs(ox), ay = std::abs(oy);
    Span s;
    // o * 16 > |ox| - 16 and o * 16 < |ox| + 480, in whole tiles.
    s.x0 = std::max({pc - r, 0, ax / 16});
    s.x1 = std::min({pc + r, areawidth - 1, (ax + 479) / 16});
    s.y0 = std::max({pr - r, 0, ay / 16});
    s.y1 = std::min({pr + r, areaheight - 1, (ay + 269) / 16});
    return s;
}

void DrawHUD(const entity& p) {
    SetColor(255, 255, 255);
    for (int l = 1; l <= maxHP; ++l) {
        if (p.HP == 0) SetColor(0, 0, 0);
        DrawSprite(gfxheart, 9, 9 * l + 22, 0);
        if (l == p.HP) SetColor(0, 0, 0);
    }
    SetColor(255, 255, 255);
    for (int l = 1; l <= maxAP; ++l) {
        if (AP == 0) SetColor(0, 0, 0);
        DrawSprite(gfxshield, 19, 9 * l + 22, 0);
        if (l == AP) SetColor(0, 0, 0);
    }

    const uint16_t held = invitem[0][5];
    SetColor(192, 160, 128);
    DrawRect(8, 9, 20, 20);
    SetColor(32, 24, 16);
    DrawRect(9, 10, 18, 18);
    SetColor(255, 255, 255);
    DrawItemIcon(held, 10, 11);
    DrawShadowText("ACTION", 6, 7, 0, 0, 0);
    DrawAmount(held, invamt[0][5], 30, 25, 2);

    int n = 0;
    for (int c = 0; c < INVCOLS; ++c)
        for (int r = 0; r < INVROWS; ++r) n += invitem[c][r] != 0;
    DrawSprite(gfxbag, 31, 7, 0);
    if (n >= 30)
        SetColor(255, 0, 0);
    else if (n >= 25)
        SetColor(255, 128, 0);
    else if (n >= 20)
        SetColor(255, 255, 0);
    else
        SetColor(255, 255, 255);
    DrawShadowText(std::to_string(30 - n), 40, 9, 0, 0, 1);

    SetColor(255, 255, 255);
    DrawSprite(gfxgold, 31, 16, 0);
    DrawShadowText(std::to_string(gold), 40, 18, 0, 0, 1);

    const int32_t m = (int32_t)enemies.Count();
    const uint8_t enc = EncounterAt(marker.x, marker.y);
    if ((enc == encounters::wild || enc == encounters::cleared) && m > 0) {
        DrawSprite(gfxbaddie, 31, 32, 0);
        DrawShadowText(TextOf("%d", (int)m), 40, 34, 0, 0, 0);
    }
    if (enc == encounters::wild) {
        DrawSprite(gfxexp, 31, 24, 0);
        const uint8_t clear = m == 0;
        if (clear && untouched == 1 && noturning == 1) SetColor(192, 192, 255);
        const int32_t preview = BonusTotal(TerrainTier(), clear);
        DrawShadowText(TextOf("+%d (%d)", (int)preview, (int)player::exp), 40, 26, 0, 0, 0);
    }
}

void DrawSwapCross(const entity& p) {
    DrawQuickCross(p.x, p.y, invitem[0][5], invamt[0][5], true, false);
}

void DrawPlayer(entity& p) {
    if (p.HP == 1 && DrawRand(0, 1) == 1)
        SetColor(255, 128, 128);
    else
        SetColor(255, 255, 255);
    if (p.invinced % 2 != 0 || p.HP <= 0) return;
    switch (form) {
    case 0:
        if (invopen == 1) pose = 3;
        DrawSprite(gfxplayer, p.x, p.y, pose + 8 * p.f - (p.f == 2 ? 8 : 0));
        break;
    case 1:
        SetColor(250, 124, 124);
        DrawSprite(gfxenemy0, p.x, p.y, p.onground);
        break;
    case 2:
        SetColor(250, 124, 124);
        DrawSprite(gfxenemy1, p.x, p.y, p.onground);
        break;
    case 3:
        SetColor(250, 124, 124);
        if (p.f == 2) p.f = 1;
        DrawSprite(gfxenemy2, p.x, p.y, 2 * p.f + DrawRand(0, 1));
        break;
    }
}
}  // namespace

void ViewOrigin(const entity& p, int32_t& ox, int32_t& oy) {
    ox = 232 - (camx + p.x) / 2;
    if (ox > 0) ox = 0;
    if (ox < 480 - areawidth * 16) ox = 480 - areawidth * 16;
    oy = 128 - camy;
    if (oy > 0) oy = 0;
    if (oy < 270 - areaheight * 16) oy = 270 - areaheight * 16;
}

bool SeeThrough(int32_t x, int32_t y) {
    const uint8_t b = GetBlock(x, y);
    return b == blocks::air || b == blocks::leaves || b == blocks::bush;
}

void SkyColour(int32_t x, int32_t y, int32_t hp) {
    if (hp == 0) {
        SetColor(255, 255, 255);
        return;
    }
    const int32_t d = 4 * DrawRand(0, 4);
    const bool deep = y >= areaheight / 2;
    switch (TerrainAt(marker.x, marker.y)) {
    case terrains::plains:
        if (deep)
            SetColor(d + 52, d + 28, d + 16);
        else
            SetColor(d + 87, d + 145, 202);
        break;
    case terrains::forest: {
        const bool stripe = (x + y) % 3 == 0;
        if (!deep)
            stripe ? SetColor(d + 105, d + 122, d + 80) : SetColor(d + 100, d + 150, d + 130);
        else
            stripe ? SetColor(d + 55, d + 62, d + 40) : SetColor(d + 64, d + 32, d + 16);
        break;
    }
    case terrains::desert: {
        const int32_t k = std::max(512 / areaheight, 1), t = y * k;
        if (deep)
            SetColor(d + 128, 128 - t / 4, 128 - t / 2);
        else
            SetColor(d + 223, d + 223, d + 223 - t / 2);
        break;
    }
    case terrains::home: SetColor(32 - y, 32 - y, 64 - y); break;
    default: break;
    }
}

int32_t CrackFrame(int32_t damage, int32_t hardness) {
    if (damage <= 0 || damage >= hardness) return -1;
    return (int32_t)(damage / (hardness / 4.0));
}

int32_t LightRadius(int32_t pr) {
    const int32_t surface = ToTile(areaheight * 16 / 2);
    return std::clamp(30 - (pr - surface), 2, 30);
}

int32_t entity::DrawView() {
    // Most of a replay's check is spent in areas: with nobody to see them,
    // their light, sky and shimmer are not worked out at all. What drawing
    // does to the game is still done: the player is drawn, for that settles
    // its pose, and the game goes on from the pose it was drawn in; and the
    // keys are asked about as the swing's drawing asks, for the first
    // question of a pass without a step is what takes its keys.
    if (DrawingNothing()) {
        if (swinging > 2) Held(KEY_UP, KEY_W);
        DrawPlayer(*this);
        return 0;
    }
    Cls();
    int32_t ox, oy;
    ViewOrigin(*this, ox, oy);
    SetDrawOrigin(ox, oy);

    const int32_t pr = ToTile(y + 8), pc = ToTile(x + 8);
    const int32_t r = LightRadius(pr), h = 4 * r + 135;
    const Span s = LitSpan(pc, pr, r, ox, oy);
    for (int32_t j = s.y0; j <= s.y1; ++j)
        for (int32_t o = s.x0; o <= s.x1; ++o) {
            const uint8_t code = areatiles[o][j];
            if (code == blocks::air || SeeThrough(o, j)) {
                SkyColour(o, j, HP);
                DrawRect(o * 16, j * 16, 16, 16);
            }
            if (code != blocks::air) {
                HP == 0 ? SetColor(0, 0, 0) : SetColor(h, h, h);
                DrawSprite(gfxblock, o * 16, j * 16, code);
            }
            const int32_t crack = CrackFrame(areadamage[o][j], Hardness(code));
            if (crack >= 0) DrawSprite(gfxblockdmg, o * 16, j * 16, crack);
        }

    const uint16_t held = invitem[0][5];
    if (held >= 1 && held <= 255) {
        SetColor(128, 128, 128);
        const int32_t tx = pc * 16, ty = pr * 16;
        int32_t mx = tx, my = ty;
        bool mark = true;
        if (lookdir == 1 && swapmode == 0)
            my = ty - 16;
        else if (lookdir == 2 && swapmode == 0)
            my = ty + 16;
        else if (f == 0)
            mx = tx - 16;
        else if (f == 1)
            mx = tx + 16;
        else
            mark = false;
        if (mark) {
            DrawRect(mx, my, 1, 16);
            DrawRect(mx, my, 16, 1);
        }
    }

    enemies.ForEach([&](TEnemy* e) {
        if (std::abs(e->x - x) < 480 && std::abs(e->y - y) < 270 && e->invinced % 2 == 0) e->Draw(0);
    });
    npcs.ForEach([&](NPC* n) {
        if (std::abs(n->x - x) < 480 && std::abs(n->y - y) < 270) n->Draw();
    });

    SlashTint(held);
    if (swinging > 2) {
        if (Held(KEY_UP, KEY_W))
            DrawSprite(gfxslash, x, y - 16, 2);
        else if (Held(KEY_DOWN, KEY_S))
            DrawSprite(gfxslash, x, y + 16, 3);
        else if (f == 0)
            DrawSprite(gfxslash, x - 16, y, 0);
        else if (f == 1)
            DrawSprite(gfxslash, x + 16, y, 1);
    }

    DrawPlayer(*this);

    // Bushes stand in front of whoever is in them.
    HP == 0 ? SetColor(0, 0, 0) : SetColor(h, h, h);
    for (int32_t j = s.y0; j <= s.y1; ++j)
        for (int32_t o = s.x0; o <= s.x1; ++o)
            if (areatiles[o][j] == blocks::bush) DrawSprite(gfxblock, o * 16, j * 16, blocks::bush);

    // Speech goes over everything in the area, near or far.
    npcs.ForEach([](NPC* n) { n->DrawDialogue(); });

    textleaps.ForEach([](textleap* t) { t->Draw(); });

    SetColor(255, 255, 255);
    if (invopen != 1 && swapmode == 1) DrawSwapCross(*this);

    SetDrawOrigin(0, 0);
    DrawHUD(*this);
    FPS::DrawFPS();
    return 0;
}

void DrawQuickCross(int32_t cx, int32_t cy, uint16_t centre, uint16_t centreamt, bool flashing, bool jumplabel) {
    SetColor(192, 160, 128);
    DrawRect(cx - 2, cy - 26, 20, 20);
    DrawRect(cx - 2, cy + 22, 20, 20);
    DrawRect(cx - 26, cy - 2, 20, 20);
    DrawRect(cx + 22, cy - 2, 20, 20);
    if (flashing) {
        // Red, then green, then blue, whatever the compiler's order for arguments.
        const int32_t r = DrawRand(0, 32);
        const int32_t g = DrawRand(0, 255);
        const int32_t b = DrawRand(0, 255);
        SetColor(r, g, b);
    }
    if (jumplabel) DrawShadowText("JUMP", cx + 24, cy - 12, 0, 0, 0);
    DrawSprite(gfxarrow, cx + 4, cy - 4, 0);
    DrawSprite(gfxarrow, cx + 12, cy + 4, 1);
    DrawSprite(gfxarrow, cx + 4, cy + 12, 2);
    DrawSprite(gfxarrow, cx - 4, cy + 4, 3);
    SetColor(32, 24, 16);
    DrawRect(cx - 1, cy - 25, 18, 18);
    DrawRect(cx - 1, cy + 23, 18, 18);
    DrawRect(cx - 25, cy - 1, 18, 18);
    DrawRect(cx + 23, cy - 1, 18, 18);
    SetColor(255, 255, 255);
    // Up, down, left, right of the centre: quick slots 1, 3, 4 and 2.
    struct Slot {
        int col, dx, dy;
    };
    constexpr Slot slots[4] = {{1, 0, -24}, {3, 0, 24}, {4, -24, 0}, {2, 24, 0}};
    for (const Slot& s : slots) {
        DrawItemIcon(invitem[s.col][5], cx + s.dx, cy + s.dy);
        DrawAmount(invitem[s.col][5], invamt[s.col][5], cx + s.dx - 2, cy + s.dy - 2, 0);
    }
    if (centre != 0) {
        DrawItemIcon(centre, cx, cy);
        DrawAmount(centre, centreamt, cx - 2, cy - 2, 0);
    }
}
