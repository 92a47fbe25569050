// An area file as a damaged disk might leave it: it loads within the grids
// or is kept aside and the area made anew; it never reads past its end.
#include "areas/areafile.h"
#include "areas/areas.h"
#include "areas/npc.h"
#include "fuzz_common.h"
#include "overworld/overworld.h"
#include "shell/shell.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnterScratchFolder();
    WORLDNAME = "Fuzz";
    MakeDir("worlds\\Fuzz");
    // A village on plains: its tile decides what a made-anew area holds.
    terrain[3][4] = terrains::plains;
    encountertype[3][4] = encounters::village;
    marker.x = 3;
    marker.y = 4;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PutFile(AreaPath(3, 4), data, size);
    LoadArea(3, 4, 64, 24);
    FUZZ_CHECK(areawidth >= 1 && areawidth <= AREAMAX && areaheight >= 1 && areaheight <= AREAMAX);
    npcs.ForEach([](NPC* npc) { FUZZ_CHECK(npc->kind <= 2); });
    // Between visits the grids are air again and the people gone.
    ClearArea();
    npcs.Clear();
    return 0;
}
