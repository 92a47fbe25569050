// The notices: one frame while the game is busy, or two seconds for what
// went wrong.
#include "engine/draw.h"
#include "platform/platform.h"
#include "base/base.h"

void ShowNotice(const std::string& text) {
    Cls();
    SetColor(128, 255, 128);
    DrawShadowText(text, 240, 135, 1, 1, 0);
    Flip(VSYNC);
}

const char* const SAVEFAILED = "Could not save!";

void ShowHeldNotice(const std::string& text) {
    int shown = 0;
    while (shown < 120) {
        if (StepDue()) ++shown;
        ShowNotice(text);
    }
}
