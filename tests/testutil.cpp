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
#include "engine/draw.h"
#include "base/assets.h"
#include "base/base.h"
#include "shell/shell.h"

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

void ResetGameState() { FreshGame(); }

int RunGameToEnd(std::string& printed) {
    testing::internal::CaptureStdout();
    int code = -1;
    try {
        RunGame();
    } catch (const headless::ProgramEnded& e) {
        code = e.code;
    } catch (const headless::FlipLimitReached&) {
    }
    printed = testing::internal::GetCapturedStdout();
    return code;
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
