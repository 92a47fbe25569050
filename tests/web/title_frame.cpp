// Writes the title screen's first frame as the desktop's game draws it (on
// the test machine), as raw RGBA bytes, for the browser test to hold the
// page's canvas to.
//
//   title_frame OUT.rgba
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/shell.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: title_frame OUT.rgba\n");
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[1]);
    // The game writes its settings and worlds folder where it starts.
    char folder[] = "/tmp/quillmoor-title-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) return 1;
    std::vector<uint8_t> rgba;
    headless::Reset();
    headless::At(5, [&] {
        for (int y = 0; y < SCREENH; ++y)
            for (int x = 0; x < SCREENW; ++x) {
                const uint32_t p = headless::Pixel(x, y);
                rgba.insert(rgba.end(), {(uint8_t)(p >> 16), (uint8_t)(p >> 8), (uint8_t)p, 255});
            }
        headless::RequestClose();
    });
    try {
        RunGame();
    } catch (const headless::ProgramEnded&) {
    }
    std::filesystem::remove_all(folder);
    FILE* f = std::fopen(out.c_str(), "wb");
    if (!f || rgba.size() != (size_t)SCREENW * SCREENH * 4 || std::fwrite(rgba.data(), 1, rgba.size(), f) != rgba.size())
        return 1;
    return std::fclose(f) == 0 ? 0 : 1;
}
