// The wipes that cover the overworld before an area opens and uncover it
// after. They take the update steps of their 320 ms: nothing else moves.
#include "overworld/overworld.h"
#include "engine/draw.h"
#include "platform/platform.h"
#include "base/assets.h"
#include "base/base.h"

namespace {
void Transition(bool cover, uint8_t kind) {
    (cover ? sfxtransout : sfxtransin).Play();
    int i = 0;
    do {
        if (StepDue()) ++i;
        DrawOverworld();
        SetColor(32, 24, 16);
        if (cover) {
            switch (kind) {
            case 0: DrawRect(480 - 24 * i, 0, 480, 270); break;
            case 1: DrawRect(0, 0, 24 * i, 270); break;
            case 2: DrawRect(135 - 8 * i, 135 - 8 * i, 210 + 16 * i, 16 * i); break;
            }
        } else {
            switch (kind) {
            case 0: DrawRect(0, 0, 480 - 24 * i, 270); break;
            case 1: DrawRect(24 * i, 0, 480, 270); break;
            case 2:
                // Bands whose size has run out land off the screen.
                DrawRect(0, 0, 480, 135 - 8 * i);
                DrawRect(0, 0, 135 - 8 * i, 270);
                DrawRect(345 + 8 * i, 0, 480, 270);
                DrawRect(0, 135 + 8 * i, 480, 270);
                break;
            }
        }
        Flip(VSYNC);
    } while (i < 20);
}
}  // namespace

void WorldTransOut(uint8_t kind) { Transition(true, kind); }
void WorldTransIn(uint8_t kind) { Transition(false, kind); }
