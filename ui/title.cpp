// The title screen: the controls, Begin / Change World / Exit, and the
// selected world. Begin loads that world (or makes it when it is new).
#include "engine/draw.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "base/base.h"
#include "ui/ui.h"

namespace {
bool Pressed(int key) { return KeyPressed(key) > 0; }

void DrawTitle(uint8_t sel) {
    Cls();
    SetColor(255, 255, 255);
    DrawPlainText("this is a placeholder title screen", 16, 8, 0, 0);
    DrawPlainText("here be controls:", 16, 48, 0, 0);
    DrawPlainText("  arrow keys = move | X = jump, confirm | Z = action, cancel", 16, 64, 0, 0);
    DrawPlainText("    or: WASD = move | P = jump, confirm | O = action, cancel", 16, 80, 0, 0);
    DrawPlainText("       SPACE = quick explore, item swap (while held)", 16, 96, 0, 0);
    DrawPlainText("       ENTER = stat menu, inventory", 16, 112, 0, 0);
    DrawPlainText("         ESC = exit menu, area, world; close game", 16, 128, 0, 0);
    SetColor(64, 64, 64);
    DrawRect(32, 208, 200, 64);
    SetColor(255, 255, 255);
    DrawSprite(gfxarrow, 60 + 64 * sel, 216, 2);
    DrawShadowText("Begin", 64, 225, 1, 0, 0);
    DrawShadowText("Change World", 128, 225, 1, 0, 0);
    DrawShadowText("Exit", 192, 225, 1, 0, 0);
    SetColor(192, 255, 192);
    DrawShadowText("Selected world: " + WORLDNAME, 128, 255, 1, 0, 0);
    // Almost the background colour: the form keys are a secret.
    SetColor(16, 16, 16);
    DrawPlainText("        0123 = secret fun stuff", 16, 144, 0, 0);
    Flip(VSYNC);
}
}  // namespace

TitleChoice TitleScreen() {
    for (;;) {
        ClearKeys();
        uint8_t sel = 0;
        bool begin = false;
        while (quit != 1 && !begin) {
            if (StepDue()) {
                if (Pressed(KEY_LEFT)) {
                    sel = sel == 0 ? 2 : sel - 1;
                    sfxmenu.Play();
                } else if (Pressed(KEY_RIGHT)) {
                    sel = sel == 2 ? 0 : sel + 1;
                    sfxmenu.Play();
                }
                // The first confirm key pressed is used; the later ones keep theirs.
                if (Pressed(KEY_X) || Pressed(KEY_P) || Pressed(KEY_ENTER) || Pressed(KEY_SPACE)) {
                    if (sel == 0) begin = true;
                    else if (sel == 1) ChangeWorld();
                    else quit = 1;
                }
                if (Pressed(KEY_ESCAPE) || CloseRequested()) quit = 1;
            }
            DrawTitle(sel);
        }
        // Leaving from here saves nothing: every way in has saved already.
        if (quit == 1) return TitleChoice::Exit;
        ClearKeys();
        // A world that could never be saved is not begun: its play would be
        // lost. The title stays, as for a damaged world, which is left
        // untouched.
        if (!SafeWorldName(WORLDNAME) || !CanSaveIn(WorldFolder())) {
            PrintError("World cannot be saved: " + WORLDNAME);
            ShowHeldNotice("World cannot be saved");
            continue;
        }
        if (LoadWorld()) return TitleChoice::Begin;
        PrintError("World damaged: " + WORLDNAME);
        ShowHeldNotice("World damaged");
    }
}
