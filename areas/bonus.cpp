// The screen after a wild win that kept at least one bonus.
#include <string>

#include "areas/areas.h"
#include "areas/encounter.h"
#include "engine/draw.h"
#include "engine/keys.h"
#include "engine/dice.h"
#include "platform/platform.h"
#include "base/assets.h"
#include "base/base.h"

namespace {
void Line(const char* text, int y, uint8_t kept, int r, int g, int b) {
    if (kept)
        SetColor(r, g, b);
    else
        SetColor(128, 128, 128);
    DrawShadowText(text, 240, y, 1, 0, 1);
}

bool Closed() {
    for (int k : {KEY_ENTER, KEY_ESCAPE, KEY_X, KEY_P, KEY_Z, KEY_O})
        if (KeyPressed(k) > 0) return true;
    return ClosePending();
}
}  // namespace

void BonusScreen(int32_t total, uint8_t ext) {
    sfxbonus.Play();
    do {
        Cls();
        SetColor(255, 255, 255);
        DrawSprite(gfxexp, 236, 23, 0);
        // Red, then green, then blue, whatever the compiler's order for arguments.
        const int32_t r = DrawRand(0, 255);
        const int32_t g = DrawRand(0, 255);
        const int32_t b = DrawRand(0, 255);
        SetColor(r, g, b);
        DrawShadowText("BONUS!", 240, 32, 1, 0, 1);
        Line("Blockless! *2", 64, blockless, 128, 255, 128);
        Line("No turning back! *2", 80, noturning, 255, 255, 128);
        Line("Untouched! *3", 96, untouched, 128, 128, 255);
        Line("Exterminator! *4", 112, ext, 255, 128, 128);
        SetColor(255, 255, 255);
        DrawShadowText("Total: " + std::to_string(total), 240, 144, 1, 0, 1);
        Flip(VSYNC);
    } while (!Closed());
}
