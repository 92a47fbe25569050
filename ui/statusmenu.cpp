// The status menu: experience buys one point of hearts, armour, armour gain
// or alchemy at a time, each raise a level dearer than the last.
#include <algorithm>

#include "creatures/creatures.h"
#include "engine/draw.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "base/base.h"
#include "ui/ui.h"

namespace {
bool Pressed(int key) { return KeyPressed(key) > 0; }

// Raises the stat of row sel when its limit allows; false when it does not.
bool Raise(uint8_t sel) {
    switch (sel) {
    case 0:
        if (maxHP >= 10) return false;
        ++maxHP;
        return true;
    case 1:
        if (maxAP >= 10) return false;
        ++maxAP;
        return true;
    case 2:
        // Armour gain can reach a fifth of the most armour, plus one.
        if (APgain > maxAP / 5) return false;
        ++APgain;
        return true;
    default:
        if (alchemy >= 10) return false;
        ++alchemy;
        return true;
    }
}

void DrawMenu(uint8_t sel) {
    DrawOverworld();
    const int w = std::max(9 * std::max(maxHP, maxAP), 48);
    SetColor(160, 128, 116);
    DrawRect(3, 15, w + 21, 45);
    SetColor(20, 26, 58);
    DrawRect(4, 16, w + 19, 43);
    SetColor(228, 247, 175);
    DrawPlainText("LEVEL " + std::to_string(level), 5, 17, 0, 0);
    DrawSprite(gfxarrow, 7, 23 + 9 * sel, 1);
    SetColor(255, 255, 255);
    for (int i = 1; i <= maxHP; ++i) DrawSprite(gfxheart, 11 + 9 * i, 23, 0);
    for (int i = 1; i <= maxAP; ++i) {
        // Armour not yet regained is drawn black, and stays so for the rest.
        if (i > AP) SetColor(0, 0, 0);
        DrawSprite(gfxshield, 11 + 9 * i, 32, 0);
    }
    if (APgain > maxAP / 5)
        SetColor(64, 64, 64);
    else
        SetColor(255, 255, 255);
    DrawPlainText("GAIN", 20, 43, 0, 0);
    for (int i = 1; i <= APgain; ++i) DrawSprite(gfxshield, 29 + 9 * i, 41, 0);
    SetColor(255, 255, 255);
    DrawPlainText("ALCHEMY   *" + std::to_string(alchemy), 20, 52, 0, 0);
    DrawSprite(gfxgold, 51, 50, 0);
    Flip(VSYNC);
}
}  // namespace

void StatusMenu() {
    uint8_t sel = 0;
    ClearKeys();
    for (;;) {
        const int32_t cost = level * (level + 1) / 2;
        if (StepDue()) {
            if ((Pressed(KEY_DOWN) || Pressed(KEY_S)) && sel < 3) {
                ++sel;
                sfxmenu.Play();
            } else if ((Pressed(KEY_UP) || Pressed(KEY_W)) && sel > 0) {
                --sel;
                sfxmenu.Play();
            }
            if (Pressed(KEY_X) || Pressed(KEY_P)) {
                if (cost > player::exp) {
                    sfxnope.Play();
                } else if (Raise(sel)) {
                    ++level;
                    player::exp -= cost;
                    sfxraredrop.Play();
                } else {
                    sfxnope.Play();
                }
            }
        }
        DrawMenu(sel);
        if (Pressed(KEY_ESCAPE) || Pressed(KEY_ENTER) || Pressed(KEY_Z) || Pressed(KEY_O) || ClosePending()) break;
    }
}
