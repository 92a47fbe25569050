// Every global of the game as a program that has just started holds it.
// Start-up relies on the zero-filled globals of a new process; whatever
// starts the game a second time in one process (a test, a benchmark, the
// fuzzer playing replays) puts them back here first, so that a replay
// recorded from a fresh start plays the same.
#include <cstring>

#include "areas/areas.h"
#include "areas/enemy.h"
#include "areas/npc.h"
#include "creatures/creatures.h"
#include "engine/dice.h"
#include "engine/draw.h"
#include "overworld/overworld.h"
#include "base/base.h"
#include "shell/shell.h"

void FreshGame() {
    UPSCALING = 2;
    FULLSCREEN = 0;
    WORLDNAME = "Defaultia";
    VSYNC = 1;
    quit = 0;
    accum = 0;
    lasttime = deltatime = 0;
    FPS::framecount = FPS::nextupdate = FPS::current = 0;
    SetColor(255, 255, 255);
    SetDrawOrigin(0, 0);
    SetClsColor(0, 0, 0);
    SeedRand(0);
    textleaps.Clear();
    // An empty map, the marker at rest on (0, 0), a new player.
    std::memset(terrain, 0, sizeof terrain);
    std::memset(encountertype, 0, sizeof encountertype);
    homex = homey = 0;
    marker = actor{};
    NewPlayer();
    form = 0;
    invopen = facelock = jumpbuf = 0;
    // No area resident: all air at the largest size, nobody in it.
    std::memset(areatiles, 0, sizeof areatiles);
    std::memset(areadamage, 0, sizeof areadamage);
    areawidth = areaheight = AREAMAX;
    enemies.Clear();
    npcs.Clear();
    temparea = justleft = 0;
    camx = camy = 0;
    swapmode = lookdir = pose = 0;
    untouched = noturning = blockless = 1;
    areaplayer = nullptr;
    escapespent = 0;
}
