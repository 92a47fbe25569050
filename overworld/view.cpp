// The overworld frame: the tiles around the marker with the fog of the
// unknown map, the marker, the scouting prices while Space is held, and the
// HUD. Drawn on every pass of the main loop and beneath the wipes and the
// status menu.
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "engine/draw.h"
#include "engine/keys.h"
#include "engine/dice.h"
#include "base/assets.h"
#include "base/base.h"

namespace {
// A tile is seen when it or one of its four sides is known: the known land
// and a ring of the wild around it.
bool Seen(int32_t x, int32_t y) {
    return EncounterAt(x, y) != encounters::wild || EncounterAt(x - 1, y) != encounters::wild ||
           EncounterAt(x + 1, y) != encounters::wild || EncounterAt(x, y - 1) != encounters::wild ||
           EncounterAt(x, y + 1) != encounters::wild;
}

void DrawTiles() {
    for (int32_t y = marker.y - 9; y <= marker.y + 9; ++y)
        for (int32_t x = marker.x - 15; x <= marker.x + 16; ++x) {
            SetColor(192, 192, 192);
            const bool inside = InWorld(x, y);
            const uint8_t e = inside ? encountertype[x][y] : encounters::wild;
            if (inside) {
                if (e == encounters::cleared || e == encounters::home || e == encounters::village) {
                    SetColor(255, 255, 255);
                } else if (e == encounters::claimed) {
                    // Claimed land shimmers: a fresh shade every tile, every frame.
                    const int g = 223 + 8 * DrawRand(0, 4);
                    SetColor(g, g, g);
                }
            }
            if (Seen(x, y)) {
                DrawSprite(gfxoverworld, 16 * x, 16 * y, TerrainAt(x, y));
                if (inside && e == encounters::village) DrawSprite(gfxvillage, 16 * x, 16 * y, 0);
            } else {
                SetColor(32, 24, 16);
                DrawRect(16 * x, 16 * y, 16, 16);
            }
        }
}

// What scouting each wild side would cost, over the tile itself.
void DrawScoutingPrices() {
    int32_t m = (int32_t)(level * 0.5f);
    if (m < 1) m = 1;
    if (!KeyHeld(KEY_SPACE) || marker.moving != 0 || EncounterAt(marker.x, marker.y) == encounters::wild) return;
    const int32_t dx[4] = {0, 0, -1, 1}, dy[4] = {-1, 1, 0, 0};
    for (int d = 0; d < 4; ++d) {
        const int32_t tx = marker.x + dx[d], ty = marker.y + dy[d];
        if (!InWorld(tx, ty) || encountertype[tx][ty] != encounters::wild) continue;
        DrawSprite(gfxexp, 16 * tx + 1, 16 * ty + 1, 0);
        DrawShadowText(TextOf("%d", (int)(m * TierAt(tx, ty))), 16 * tx + 10, 16 * ty + 2, 0, 0, 0);
    }
}

void DrawHUD() {
    // Experience over the price of the next level; it flickers once that
    // level can be bought.
    DrawSprite(gfxexp, 4, 4, 0);
    const int32_t need = level * (level + 1) / 2;
    if (player::exp >= need) SetColor(128, 160 + DrawRand(0, 96), 255);
    DrawShadowText(TextOf("%d/%d", (int)player::exp, (int)need), 13, 7, 0, 0, 0);

    // Free inventory cells, warming toward red as the bag fills.
    SetColor(255, 255, 255);
    int used = 0;
    for (int c = 0; c < INVCOLS; ++c)
        for (int r = 0; r < INVROWS; ++r) used += invitem[c][r] != 0;
    DrawSprite(gfxbag, 40, 4, 0);
    if (used >= 20) SetColor(255, 255, 0);
    if (used >= 25) SetColor(255, 128, 0);
    if (used >= 30) SetColor(255, 0, 0);
    DrawShadowText(TextOf("%d", 30 - used), 49, 7, 0, 0, 1);

    SetColor(255, 255, 255);
    DrawSprite(gfxgold, 60, 4, 0);
    DrawShadowText(TextOf("%d", (int)gold), 69, 7, 0, 0, 1);
}
}  // namespace

void DrawOverworld() {
    // The map slides under the marker: right after a step it is drawn 16
    // pixels back toward the tile just left, and closes in 2 pixels a step.
    int32_t ox = 0, oy = 0;
    switch (marker.f) {
    case 0: oy = 2 * marker.moving; break;
    case 2: oy = -2 * marker.moving; break;
    case 1: ox = -2 * marker.moving; break;
    case 3: ox = 2 * marker.moving; break;
    }
    SetDrawOrigin(16 * (14 - marker.x) - ox, 16 * (8 - marker.y) - oy);
    DrawTiles();

    // The marker stands 7 pixels above its tile, always at (224, 121) on screen.
    SetColor(255, 255, 255);
    DrawSprite(gfxplayericon, 16 * marker.x + ox, 16 * marker.y + oy - 7, marker.f);
    DrawScoutingPrices();

    SetDrawOrigin(0, 0);
    DrawHUD();
    FPS::DrawFPS();
}
