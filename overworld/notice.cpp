// The one-frame notices shown while the game is busy.
#include "overworld/overworld.h"
#include "platform/platform.h"
#include "shell/shell.h"
#include "ui/ui.h"

void ShowNotice(const std::string& text) {
    Cls();
    SetColor(128, 255, 128);
    DrawShadowText(text, 240, 135, 1, 1, 0);
    Flip(VSYNC);
}
