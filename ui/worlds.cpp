// The world screen (the world folders to choose from, and "New World") and
// the naming screen's letter grid.
#include <cctype>
#include <vector>

#include "engine/draw.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "base/base.h"
#include "ui/ui.h"

namespace {
bool Pressed(int key) { return KeyPressed(key) > 0; }

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i])) return false;
    return true;
}

// Rows "A" to "M", "N" to "Z", "a" to "m", "n" to "z".
char Letter(int col, int row) { return (char)(65 + col + 13 * row + 6 * (row / 2)); }
}  // namespace

void ChangeWorld() {
    ClearKeys();
    // Read once: a world named here is listed the next time the screen opens.
    const std::vector<std::string> names = ListDir("worlds\\");
    const int32_t count = (int32_t)names.size();
    int32_t sel = 0;
    for (;;) {
        Cls();
        if (StepDue()) {
            if (Pressed(KEY_UP) && sel > 0) --sel;
            if (Pressed(KEY_DOWN) && sel < count) ++sel;
            if (Pressed(KEY_X) || Pressed(KEY_P)) {
                // A folder whose name would lead out of "worlds" is shown
                // but cannot be chosen.
                if (sel > 0 && !SafeWorldName(names[sel - 1]))
                    sfxnope.Play();
                else if (sel > 0)
                    WORLDNAME = names[sel - 1];
                else
                    NameWorld();
            }
        }
        bool found = false;
        for (int32_t i = 0; i < count; ++i) {
            if (!SafeWorldName(names[i])) {
                SetColor(128, 128, 128);
            } else if (SameName(names[i], WORLDNAME)) {
                SetColor(192, 255, 192);
                found = true;
            } else {
                SetColor(255, 192, 192);
            }
            DrawShadowText(names[i], 50, 50 + 8 * i, 0, 0, 0);
        }
        if (found) {
            SetColor(192, 192, 255);
            DrawShadowText("New World", 50, 42, 0, 0, 0);
        } else {
            SetColor(192, 255, 192);
            DrawShadowText("New World: " + WORLDNAME, 50, 42, 0, 0, 0);
        }
        SetColor(255, 255, 255);
        DrawSprite(gfxarrow, 41, 41 + 8 * sel, 1);
        Flip(VSYNC);
        if (Pressed(KEY_Z) || Pressed(KEY_O) || Pressed(KEY_ESCAPE) || ClosePending()) break;
    }
    if (!SaveSettings()) ShowHeldNotice(SAVEFAILED);
    ClearKeys();
}

void NameWorld() {
    std::string name;
    uint8_t col = 0, row = 0;
    for (;;) {
        // Input is read on every pass here, not by the step clock.
        if (Pressed(KEY_LEFT) || Pressed(KEY_A)) {
            col = col == 0 ? 12 : col - 1;
        } else if (Pressed(KEY_RIGHT) || Pressed(KEY_D)) {
            col = col == 12 ? 0 : col + 1;
        } else if (Pressed(KEY_DOWN) || Pressed(KEY_S)) {
            row = row == 3 ? 0 : row + 1;
        } else if (Pressed(KEY_UP) || Pressed(KEY_W)) {
            row = row == 0 ? 3 : row - 1;
        } else if (Pressed(KEY_X) || Pressed(KEY_P)) {
            if (name.size() < 16) name += Letter(col, row);
        } else if (Pressed(KEY_Z) || Pressed(KEY_O)) {
            if (name.empty()) break;  // cancel
            name.pop_back();
        }
        // An Enter with no name yet is used up and ignored.
        if (Pressed(KEY_ENTER) && !name.empty() && SafeWorldName(name)) {
            WORLDNAME = name;
            break;
        }
        Cls();
        DrawSprite(gfxarrow, 23 + 16 * col, 30 + 16 * row, 1);
        for (int k = 0; k < 13; ++k)
            for (int r = 0; r < 4; ++r) DrawPlainText(std::string(1, Letter(k, r)), 32 + 16 * k, 32 + 16 * r, 0, 0);
        DrawPlainText(">" + name + "_", 32, 16, 0, 0);
        Flip(VSYNC);
        if (Pressed(KEY_ESCAPE) || ClosePending()) break;  // cancel
    }
    ClearKeys();
}
