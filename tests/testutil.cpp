#include "testutil.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "areas/areas.h"
#include "areas/enemy.h"
#include "areas/npc.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "platform/platform.h"
#include "shell/assets.h"
#include "shell/shell.h"
#include "ui/ui.h"

void GameTest::SetUp() {
    char buf[4096];
    previous = getcwd(buf, sizeof buf) ? buf : ".";
    std::string tmpl = (std::filesystem::temp_directory_path() / "quillmoor-test-XXXXXX").string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back(0);
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    folder = name.data();
    ASSERT_EQ(chdir(folder.c_str()), 0);
    headless::Reset();
    ResetGameState();
}

void ResetGameState() {
    UPSCALING = 2;
    FULLSCREEN = 0;
    WORLDNAME = "Defaultia";
    VSYNC = 1;
    quit = 0;
    accum = 0;
    lasttime = 0;
    deltatime = 0;
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
    temparea = justleft = 0;
    // No area resident: all air at the largest size, nobody in it.
    std::memset(areatiles, 0, sizeof areatiles);
    std::memset(areadamage, 0, sizeof areadamage);
    areawidth = areaheight = AREAMAX;
    enemies.Clear();
    npcs.Clear();
    camx = camy = 0;
    swapmode = lookdir = pose = 0;
    untouched = noturning = blockless = 1;
    escapespent = 0;
}

void GameTest::TearDown() {
    if (chdir(previous.c_str()) != 0) std::perror("chdir");
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::string& path) {
    auto b = ReadBytes(path);
    return std::string(b.begin(), b.end());
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

struct SolidFont::Saved {
    TImage font;
};

SolidFont::SolidFont() : saved(new Saved{gfxfont}) {
    std::vector<uint8_t> white(64 * 40 * 3, 255);
    gfxfont.FromRGB(white.data(), 64, 40, 4, 5, 0, 128);
}

SolidFont::~SolidFont() {
    gfxfont = saved->font;
    delete saved;
}

void Replay(const std::string& captured) {
    if (::testing::Test::HasFailure()) std::fputs(captured.c_str(), stdout);
}
