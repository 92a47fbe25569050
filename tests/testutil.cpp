#include "testutil.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "areas/areas.h"
#include "areas/enemy.h"
#include "areas/npc.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "engine/draw.h"
#include "base/assets.h"
#include "base/base.h"
#include "replay/replay.h"
#include "shell/shell.h"

void GameTest::SetUp() {
    namespace fs = std::filesystem;
    previous = fs::current_path().string();
    // A folder no other test, here or in another process, has.
    std::random_device random;
    for (std::error_code made;;) {
        const fs::path candidate = fs::temp_directory_path() / ("quillmoor-test-" + std::to_string(random()));
        if (fs::create_directory(candidate, made)) {
            folder = candidate.string();
            break;
        }
        ASSERT_FALSE(made) << made.message();
    }
    fs::current_path(folder);
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

void CloseAtTheReplaysEnd() {
    headless::EveryFlip([] {
        if (replay::Watched().end != replay::End::No) headless::RequestClose();
    });
}

void GameTest::TearDown() {
    std::error_code ec;
    std::filesystem::current_path(previous, ec);
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
