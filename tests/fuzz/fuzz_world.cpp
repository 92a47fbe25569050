// A world's two files as a damaged disk might leave them, read from memory.
// The first byte chooses which file the rest is: an even byte, the "player"
// file itself beside a whole map; an odd byte, changes to a whole map (a
// change of length, then 3-byte offsets each with the byte to put there)
// beside a whole player, so the map is reached at its full size. A world
// loads whole or is refused changing nothing; one that loads is then played
// a little: scouted and walked, a frame drawn after each step.
#include <cstring>
#include <vector>

#include "creatures/creatures.h"
#include "engine/keys.h"
#include "fuzz_common.h"
#include "overworld/overworld.h"
#include "platform/headless/headless.h"
#include "base/base.h"

namespace {
std::vector<uint8_t> basemap, baseplayer;
uint8_t terrainbefore[WORLDW][WORLDH];

std::vector<uint8_t> FileBytes(const char* path) {
    auto f = OpenRead(path);
    std::vector<uint8_t> bytes(f->Size());
    f->ReadBytes(bytes.data(), bytes.size());
    return bytes;
}

void Step(int key) {
    headless::KeyDown(key);
    UpdateOverworld();
    DrawOverworld();
    headless::KeyUp(key);
    ClearKeys();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnterScratchFolder();
    WORLDNAME = "Fuzz";
    MakeWorldMap();
    NewPlayer();
    player::exp = 1000;  // enough to scout with
    if (!SaveWorld()) std::abort();
    basemap = FileBytes("worlds\\Fuzz\\overworld");
    baseplayer = FileBytes("worlds\\Fuzz\\player");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<uint8_t> map = basemap, player = baseplayer;
    if ((data[0] & 1) == 0) {
        player.assign(data + 1, data + size);
    } else {
        if (size >= 2) map.resize((size_t)((int)map.size() + (int8_t)data[1]));
        for (size_t i = 2; i + 4 <= size; i += 4) {
            const size_t at = ((size_t)data[i] | (size_t)data[i + 1] << 8 | (size_t)data[i + 2] << 16) % map.size();
            map[at] = data[i + 3];
        }
    }
    std::memcpy(terrainbefore, terrain, sizeof terrain);
    const int32_t hx = homex, mx = marker.x;
    const bool loaded = ReadWorld(*OpenMemory(map.data(), map.size()), OpenMemory(player.data(), player.size()).get());
    // Files of any other length are damaged.
    if (map.size() != basemap.size() || player.size() != baseplayer.size()) FUZZ_CHECK(!loaded);
    if (!loaded) {
        FUZZ_CHECK(homex == hx && marker.x == mx && std::memcmp(terrainbefore, terrain, sizeof terrain) == 0);
        return 0;
    }
    FUZZ_CHECK(InWorld(marker.x, marker.y) && InWorld(homex, homey));
    // Scouted (which draws the prices of the tiles around), then walked.
    Step(KEY_SPACE);
    Step(KEY_RIGHT);
    return 0;
}
