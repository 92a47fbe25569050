// The overworld between areas: walking by held keys, scouting wild
// neighbours for experience while Space is held, entering known tiles, the
// status menu, leaving, and arriving on a tile that starts an encounter.
#include "areas/areafile.h"
#include "areas/areas.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "engine/keys.h"
#include "base/assets.h"
#include "base/base.h"
#include "ui/ui.h"

namespace {
// Up, down, left, right: the order directions are asked in, with the arrow
// of each pair before its letter.
constexpr int DIRKEYS[4][2] = {{KEY_UP, KEY_W}, {KEY_DOWN, KEY_S}, {KEY_LEFT, KEY_A}, {KEY_RIGHT, KEY_D}};
constexpr int DIRDX[4] = {0, 0, -1, 1};
constexpr int DIRDY[4] = {-1, 1, 0, 0};

bool Pressed(int key) { return KeyPressed(key) > 0; }

// A pair is asked only until one of its keys was pressed; the other keeps
// its presses for later.
bool PairPressed(const int keys[2]) { return Pressed(keys[0]) || Pressed(keys[1]); }

// Spends experience on the first pressed direction whose neighbour is wild.
// Pairs after that one are not asked, so their presses wait for the next step.
void Scout() {
    int32_t m = (int32_t)(level * 0.5f);
    if (m < 1) m = 1;
    for (int d = 0; d < 4; ++d) {
        if (!PairPressed(DIRKEYS[d])) continue;
        const int32_t tx = marker.x + DIRDX[d], ty = marker.y + DIRDY[d];
        if (!InWorld(tx, ty) || EncounterAt(tx, ty) != encounters::wild) continue;
        const int32_t cost = m * TierAt(tx, ty);
        if (player::exp >= cost) {
            Reveal(tx, ty);
            player::exp -= cost;
            sfxraredrop.Play();
        } else {
            sfxoof.Play();
        }
        return;
    }
}
}  // namespace

bool UpdateOverworld() {
    if (KeyHeld(KEY_SPACE)) {
        // Nothing else is asked while scouting: Escape and the close request
        // wait until Space is let go.
        Scout();
        return true;
    }
    // Presses made without Space never scout later.
    for (const auto& pair : DIRKEYS) {
        KeyPressed(pair[0]);
        KeyPressed(pair[1]);
    }

    // X or P opens the area of a known tile; a wild one opens only by
    // arriving on it. Enter is asked only when no area opened.
    const bool entering = Pressed(KEY_X) || Pressed(KEY_P);
    if (entering && EncounterAt(marker.x, marker.y) != encounters::wild) {
        // A cleared tile is revisited in passing. The entering press must not
        // also jump, and a slide in progress is cut short.
        if (EncounterAt(marker.x, marker.y) == encounters::cleared) temparea = 1;
        WorldTransOut(2);
        LoadArea(marker.x, marker.y, 128, 64);
        jumpbuf = 1;
        marker.moving = 0;
        WorldTransIn(RunEncounter());
    } else if (Pressed(KEY_ENTER)) {
        StatusMenu();
    }

    if (marker.moving != 0) return true;

    if (KeyHeld(KEY_W) || KeyHeld(KEY_UP)) {
        marker.Move(marker.x, marker.y - 1);
        marker.f = 0;
    } else if (KeyHeld(KEY_S) || KeyHeld(KEY_DOWN)) {
        marker.Move(marker.x, marker.y + 1);
        marker.f = 2;
    } else if (KeyHeld(KEY_A) || KeyHeld(KEY_LEFT)) {
        marker.Move(marker.x - 1, marker.y);
        marker.f = 3;
    } else if (KeyHeld(KEY_D) || KeyHeld(KEY_RIGHT)) {
        marker.Move(marker.x + 1, marker.y);
        marker.f = 1;
    }

    if (Pressed(KEY_ESCAPE)) {
        SaveWorld();
        // Back to the title, which loads the world chosen there (or ends the
        // game; the world is saved already).
        if (TitleScreen() == TitleChoice::Exit) return false;
    }
    if (CloseRequested()) quit = 1;
    return true;
}

void UpdateArrival() {
    if (marker.moving > 0) --marker.moving;
    const uint8_t e = EncounterAt(marker.x, marker.y);
    // The encounter starts with two pixels of the slide still to go.
    if ((e == encounters::wild || e == encounters::claimed) && marker.moving == 1 && justleft == 0) {
        marker.moving = 0;
        // The cover wipes in the direction of travel.
        WorldTransOut(marker.f <= 1 ? 1 : 0);
        // A wild tile is a passing 128 x 24 visit; claimed land is its stored
        // area, made at 256 x 256 the first time.
        if (e == encounters::wild) {
            temparea = 1;
            LoadArea(marker.x, marker.y, 128, 24);
        } else {
            LoadArea(marker.x, marker.y, 256, 256);
        }
        WorldTransIn(RunEncounter());
    } else if (marker.moving <= 1 && justleft == 1) {
        justleft = 0;
    }
}
