// The wipes at an area's edges and the death sequence with its losses. Each
// lasts a fixed number of update steps, however fast frames come.
#include "areas/areas.h"
#include "areas/enemy.h"
#include "creatures/creatures.h"
#include "creatures/view.h"
#include "base/assets.h"
#include "base/base.h"

#include <cstdlib>

namespace {
// Counts update steps and draws a frame per pass until the end value has
// been shown.
template <class F>
void StepFrames(int end, F frame) {
    int i = 0;
    do {
        if (StepDue()) ++i;
        frame(i);
        Flip(VSYNC);
    } while (i < end);
}
}  // namespace

int32_t entity::LevelTransIn(uint8_t kind) {
    sfxtransin.Play();
    pose = 0;
    StepFrames(20, [&](int i) {
        DrawView();
        SetColor(32, 24, 16);
        switch (kind) {
        case 0: DrawRect(0, 0, 480 - 24 * i, 270); break;
        case 1: DrawRect(24 * i, 0, 480, 270); break;
        case 2: {
            const int w = 135 - 8 * i;
            DrawRect(0, 0, 480, w);
            DrawRect(0, 0, w, 270);
            DrawRect(345 + 8 * i, 0, 480, 270);
            DrawRect(0, 135 + 8 * i, 480, 270);
            break;
        }
        }
    });
    return 0;
}

int32_t entity::LevelTransOut(uint8_t kind) {
    sfxtransout.Play();
    StepFrames(20, [&](int i) {
        DrawView();
        SetColor(32, 24, 16);
        switch (kind) {
        case 0: DrawRect(480 - 24 * i, 0, 480, 270); break;
        case 1: DrawRect(0, 0, 24 * i, 270); break;
        case 2: {
            const int w = 135 - 8 * i;
            DrawRect(w, w, 210 + 16 * i, 16 * i);
            break;
        }
        }
    });
    return 0;
}

int32_t entity::GetRekt() {
    // The camera stays where the player fell.
    int32_t ox, oy;
    ViewOrigin(*this, ox, oy);
    swinging = 1;
    sfxdeath.Play();
    StepFrames(120, [&](int i) {
        DrawView();
        SetColor(96, 16, 32);
        DrawRect(0, 0, 480, 2 * i);
        DrawRect(0, 270 - 2 * i, 480, 2 * i);
        DrawRect(0, 0, 2 * i, 270);
        DrawRect(480 - 2 * i, 0, 2 * i, 270);
        SetColor(255, 255, 255);
        SetDrawOrigin(ox, oy);
        DrawSprite(gfxplayer, x, y, 7);
        SetColor(255, 32, 32);
        enemies.ForEach([&](TEnemy* e) {
            if (std::abs(e->x - x) < 480 && std::abs(e->y - y) < 270 && e->invinced % 2 == 0) e->Draw(1);
        });
        SetDrawOrigin(0, 0);
    });
    SetColor(255, 255, 255);
    DrawRect(0, 0, 480, 270);
    Flip(VSYNC);
    sfxdeath2.Play();
    gold = 0;
    for (int c = 0; c < INVCOLS; ++c)
        for (int r = 0; r < INVROWS; ++r) {
            invitem[c][r] = 0;
            invamt[c][r] = 0;
        }
    return 0;
}
