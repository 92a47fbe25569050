// Trading with the people of the villages.
#include "areas/trade.h"

#include "areas/areas.h"
#include "areas/inventory.h"
#include "areas/npc.h"
#include "creatures/creatures.h"
#include "creatures/items.h"
#include "engine/draw.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "base/base.h"

namespace {
bool Pressed(int key) { return KeyPressed(key) > 0; }

// The box widens for a long line: four pixels a character and two to spare.
int BoxWidth(const std::string& title, int least) {
    const int text = 4 * (int)title.size();
    return text > least - 2 ? text + 2 : least;
}

}  // namespace

int32_t Price(uint16_t item, uint16_t amount) { return (int32_t)(ItemValue(item) * (float)amount); }

int32_t CollectorPays(uint16_t item, uint16_t amount) {
    return (int32_t)(ItemValue(item) * (float)amount / 4.0f);
}

int32_t ShopScreen(NPC& npc, entity& player) {
    ClearKeys();
    const std::string title = npc.GetText();
    int n = 0;
    for (uint16_t item : npc.stock) n += item != 0;
    const int bw = BoxWidth(title, 64), bh = 20 * n + 8;
    const int left = (480 - bw) / 2, top = (270 - bh) / 2;
    int s = 0;
    for (;;) {
        if (StepDue()) {
            if (Pressed(KEY_UP) || Pressed(KEY_W)) {
                if (s > 0) {
                    --s;
                    sfxmenu.Play();
                }
            } else if (Pressed(KEY_DOWN) || Pressed(KEY_S)) {
                if (s < 7 && npc.stock[s + 1] != 0) {
                    ++s;
                    sfxmenu.Play();
                }
            } else if (Pressed(KEY_X) || Pressed(KEY_P)) {
                const int32_t price = Price(npc.stock[s], npc.amt[s]);
                // Gold is taken only once the tool has found a place.
                if (gold >= price && AddItem(npc.stock[s], npc.amt[s]) != 0) {
                    gold -= price;
                    sfxraredrop.Play();
                } else {
                    sfxnope.Play();
                }
            }
        }
        player.DrawView();
        SetColor(192, 255, 192);
        DrawRect(left - 1, top - 1, bw + 2, bh + 2);
        SetColor(32, 24, 16);
        DrawRect(left, top, bw, bh);
        SetColor(192, 255, 192);
        DrawShadowText(title, left + bw / 2, top + 1, 1, 0, 0);
        const int c0 = left + bw / 2 - 30;
        for (int k = 0; k < 8; ++k) {
            if (npc.stock[k] == 0) continue;
            const int r = top + 20 * k;
            const int32_t price = Price(npc.stock[k], npc.amt[k]);
            SetColor(255, 255, 255);
            if (k == s) DrawSprite(gfxarrow, c0, r + 12, 1);
            DrawItemIcon(npc.stock[k], c0 + 10, r + 8);
            DrawSprite(gfxgold, c0 + 27, r + 16, 0);
            if (gold < price) SetColor(255, 0, 0);
            DrawShadowText(std::to_string(price), c0 + 36, r + 18, 0, 0, 1);
            DrawAmount(npc.stock[k], npc.amt[k], c0 + 27, r + 9, 0);
        }
        Flip(VSYNC);
        if (Pressed(KEY_Z) || Pressed(KEY_O) || ClosedByEscape() || ClosePending()) break;
    }
    return 0;
}

int32_t CollectorScreen(NPC& npc, entity& player) {
    ClearKeys();
    const std::string title = npc.GetText();
    const int bw = BoxWidth(title, 108);
    const int left = (480 - bw) / 2, top = 67;
    int cc = 2, cr = 2;
    const int gx = left + bw / 2 - 54;
    for (;;) {
        if (StepDue()) {
            // A move against an edge still clicks: the cursor is heard trying.
            if (Pressed(KEY_UP) || Pressed(KEY_W)) {
                if (cr > 0) --cr;
                sfxmenu.Play();
            } else if (Pressed(KEY_DOWN) || Pressed(KEY_S)) {
                if (cr < 5) ++cr;
                sfxmenu.Play();
            } else if (Pressed(KEY_LEFT) || Pressed(KEY_A)) {
                if (cc > 0) --cc;
                sfxmenu.Play();
            } else if (Pressed(KEY_RIGHT) || Pressed(KEY_D)) {
                if (cc < 4) ++cc;
                sfxmenu.Play();
            } else if (Pressed(KEY_X) || Pressed(KEY_P)) {
                if (invitem[cc][cr] != 0) {
                    gold += CollectorPays(invitem[cc][cr], invamt[cc][cr]);
                    invitem[cc][cr] = 0;
                    invamt[cc][cr] = 0;
                    sfxmoneyget.Play();
                } else {
                    sfxnope.Play();
                }
            }
        }
        player.DrawView();
        SetColor(192, 255, 192);
        DrawRect(left - 1, top - 1, bw + 2, 138);
        SetColor(32, 24, 16);
        DrawRect(left, top, bw, 136);
        SetColor(192, 255, 192);
        DrawShadowText(title, left + bw / 2, top + 1, 1, 0, 0);
        DrawRect(gx + 4 + 20 * cc, top + 8 + 20 * cr, 20, 20);
        for (int i = 0; i <= 5; ++i)
            for (int j = 0; j <= 4; ++j) {
                SetColor(24, 16, 8);
                DrawRect(gx + 5 + 20 * j, top + 9 + 20 * i, 18, 18);
                SetColor(255, 255, 255);
                if (invitem[j][i] != 0) {
                    DrawItemIcon(invitem[j][i], gx + 6 + 20 * j, top + 10 + 20 * i);
                    DrawAmount(invitem[j][i], invamt[j][i], gx + 6 + 20 * j, top + 10 + 20 * i, 0);
                }
            }
        if (invitem[cc][cr] != 0) {
            SetColor(255, 255, 255);
            DrawSprite(gfxgold, gx + 1, top + 127, 0);
            DrawShadowText(std::to_string(CollectorPays(invitem[cc][cr], invamt[cc][cr])), gx + 10, top + 129, 0, 0, 0);
        }
        Flip(VSYNC);
        if (Pressed(KEY_Z) || Pressed(KEY_O) || ClosedByEscape() || ClosePending()) break;
    }
    return 0;
}
