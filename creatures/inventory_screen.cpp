// The inventory screen, over the frozen area: the bag as a 5 x 5 grid on the
// side the player faces, and the cross of quick slots around the hovered item.
#include "areas/areas.h"
#include "areas/inventory.h"
#include "creatures/creatures.h"
#include "creatures/items.h"
#include "creatures/view.h"
#include "engine/dice.h"
#include "engine/draw.h"
#include "engine/keys.h"
#include "base/assets.h"
#include "base/base.h"

namespace {
bool Pressed(int key) { return KeyPressed(key) > 0; }

// Red, then green, then blue: drawn one by one, since the order in which a
// call's arguments are worked out is the compiler's to choose, and every
// machine must draw the same frame from the same sequence.
void SetRandomColour() {
    const int32_t r = DrawRand(0, 32);
    const int32_t g = DrawRand(0, 255);
    const int32_t b = DrawRand(0, 255);
    SetColor(r, g, b);
}

void DrawScreen(int side, int column, int row, bool held) {
    const int L = side + 64, cx = L + 40, cy = 176;
    SetColor(192, 160, 128);
    DrawRect(L, 48, 96, 96);
    SetRandomColour();
    DrawRect(L + 19 * column, 48 + 19 * row, 20, 20);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
            SetColor(32, 24, 16);
            DrawRect(L + 1 + 19 * j, 49 + 19 * i, 18, 18);
            SetColor(255, 255, 255);
            if (invitem[j][i] != 0) {
                DrawItemIcon(invitem[j][i], L + 2 + 19 * j, 50 + 19 * i);
                DrawAmount(invitem[j][i], invamt[j][i], L + 19 * j, 48 + 19 * i, 0);
            }
        }
    DrawSprite(gfxtrash, cx + 24, cy - 24, 0);
    // While Space is held the arrows (and JUMP) flash: they now exchange the
    // hovered item with a quick slot.
    DrawQuickCross(cx, cy, invitem[column][row], invamt[column][row], held, true);
}
}  // namespace

int32_t InventoryScreen(entity& player) {
    // A player dropped facing neither way has no side for the panel.
    if (player.f == 2) return 0;
    ClearKeys();
    sfxinventory.Play();
    int column = 2, row = 2;
    bool held = false;
    const int side = 256 * player.f;
    invopen = 1;
    for (;;) {
        if (StepDue()) {
            held = KeyHeld(KEY_SPACE);
            if (!held) {
                if (Pressed(KEY_X) || Pressed(KEY_P)) {
                    SwapSlots(0, 5, (uint8_t)column, (uint8_t)row);
                } else if (Pressed(KEY_LEFT) || Pressed(KEY_A)) {
                    --column;
                    sfxmenu.Play();
                } else if (Pressed(KEY_RIGHT) || Pressed(KEY_D)) {
                    ++column;
                    sfxmenu.Play();
                } else if (Pressed(KEY_UP) || Pressed(KEY_W)) {
                    --row;
                    sfxmenu.Play();
                } else if (Pressed(KEY_DOWN) || Pressed(KEY_S)) {
                    ++row;
                    sfxmenu.Play();
                }
                if (column < 0) column = 4;
                if (column > 4) column = 0;
                if (row < 0) row = 4;
                if (row > 4) row = 0;
            } else if (Pressed(KEY_UP) || Pressed(KEY_W)) {
                SwapSlots(1, 5, (uint8_t)column, (uint8_t)row);
            } else if (Pressed(KEY_RIGHT) || Pressed(KEY_D)) {
                SwapSlots(2, 5, (uint8_t)column, (uint8_t)row);
            } else if (Pressed(KEY_DOWN) || Pressed(KEY_S)) {
                SwapSlots(3, 5, (uint8_t)column, (uint8_t)row);
            } else if (Pressed(KEY_LEFT) || Pressed(KEY_A)) {
                SwapSlots(4, 5, (uint8_t)column, (uint8_t)row);
            } else if ((Pressed(KEY_X) || Pressed(KEY_P)) && invitem[column][row] != 0) {
                // Thrown away at once: there is no asking twice.
                invitem[column][row] = 0;
                invamt[column][row] = 0;
                sfxdiscard.Play();
            }
        }
        player.DrawView();
        DrawScreen(side, column, row, held);
        Flip(VSYNC);
        if (Pressed(KEY_Z) || Pressed(KEY_O)) break;
        if (Pressed(KEY_ENTER) || ClosedByEscape() || ClosePending()) break;
    }
    // A jump key still held from the screen must not jump on return.
    jumpbuf = 1;
    invopen = 0;
    return 0;
}
