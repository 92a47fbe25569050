// A world's "player" file (and its length) as a damaged disk might leave it,
// beside a whole map: it loads whole or is refused, and nothing is written.
#include <vector>

#include "creatures/creatures.h"
#include "fuzz_common.h"
#include "overworld/overworld.h"
#include "shell/shell.h"

namespace {
std::vector<uint8_t> map;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnterScratchFolder();
    WORLDNAME = "Fuzz";
    MakeWorldMap();
    if (!SaveWorld()) std::abort();
    auto f = OpenRead("worlds\\Fuzz\\overworld");
    map.resize(f->Size());
    f->ReadBytes(map.data(), map.size());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PutFile("worlds\\Fuzz\\player", data, size);
    const bool loaded = LoadWorld();
    // A player file of any other length is damaged.
    if (size != 153) FUZZ_CHECK(!loaded);
    if (loaded) FUZZ_CHECK(InWorld(marker.x, marker.y) && InWorld(homex, homey));
    // The map beside it is never touched.
    auto m = OpenRead("worlds\\Fuzz\\overworld");
    FUZZ_CHECK(m && m->Size() == map.size());
    return 0;
}
