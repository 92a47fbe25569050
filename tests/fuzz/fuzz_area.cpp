// An area file as a damaged disk might leave it, read from memory: it loads
// within the grids or is refused changing nothing; it never reads past its
// end. An area that loads is then played a little as a village: a few steps
// of walking among its people, a frame drawn, and the bag opened and closed.
#include "areas/areafile.h"
#include "areas/areas.h"
#include "areas/encounter.h"
#include "areas/npc.h"
#include "creatures/creatures.h"
#include "creatures/items.h"
#include "engine/keys.h"
#include "fuzz_common.h"
#include "overworld/overworld.h"
#include "platform/headless/headless.h"
#include "base/base.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnterScratchFolder();
    WORLDNAME = "Fuzz";
    // A village on plains: the tile the area is played on.
    terrain[3][4] = terrains::plains;
    encountertype[3][4] = encounters::village;
    marker.x = 3;
    marker.y = 4;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int32_t w = areawidth, h = areaheight;
    const bool loaded = ReadArea(*OpenMemory(data, size));
    if (!loaded) {
        FUZZ_CHECK(areawidth == w && areaheight == h && npcs.Count() == 0);
        return 0;
    }
    FUZZ_CHECK(areawidth >= 1 && areawidth <= AREAMAX && areaheight >= 1 && areaheight <= AREAMAX);
    npcs.ForEach([](NPC* npc) { FUZZ_CHECK(npc->kind <= 2); });
    try {
        entity p;
        p.CreatureChange(0);
        p.HP = maxHP;
        p.x = areawidth * 8;
        p.y = 0;
        p.f = 1;
        headless::SetFlipLimit(headless::Flips() + 20);
        EncounterStep step(p, encounters::village, 0);
        headless::KeyDown(KEY_RIGHT);
        for (int i = 0; i < 3; ++i) step.Run();
        headless::KeyUp(KEY_RIGHT);
        p.DrawView();
        // The bag: open, and closed by Escape on its first frame.
        headless::At(headless::Flips() + 1, [] { headless::Tap(KEY_ESCAPE); });
        p.f = 1;
        p.OpenInventory();
    } catch (const headless::FlipLimitReached&) {
        FUZZ_CHECK(!"a screen did not close");
    }
    ClearKeys();
    // Between visits the grids are air again and the people gone.
    ClearArea();
    npcs.Clear();
    return 0;
}
