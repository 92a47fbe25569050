// Writes a frame as the desktop's game draws it (on the test machine), as
// raw RGBA bytes, for the browser test to hold the page's canvas to: the
// game starts afresh in an empty folder, each key is pressed after the flip
// given (and let go after the same flip, or after the second one given),
// and the frame shown by the FRAME-th flip is written. The page
// is driven the same way, by its own count of flips with a clock of 16 ms
// a flip, so the two games draw the same dice and the same frames.
//
//   desktop_frame OUT.rgba FRAME [KEY@FLIP | KEY@DOWN-UP ...]
//   KEY: the key's event code (KeyX, Enter, ArrowLeft, ...)
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "engine/draw.h"
#include "platform/keytable.h"
#include "base/base.h"
#include "shell/shell.h"

namespace {
// The keys by the names the page's key events give them (the key table's).
int KeyNamed(const std::string& code) {
    for (const KeyName& k : keytable)
        if (k.page && code == k.page) return k.key;
    return -1;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::atoi(argv[2]) < 1) {
        std::fprintf(stderr, "usage: desktop_frame OUT.rgba FRAME [KEY@FLIP | KEY@DOWN-UP ...]\n");
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[1]);
    headless::Reset();
    for (int i = 3; i < argc; ++i) {
        const char* at = std::strchr(argv[i], '@');
        const int key = at ? KeyNamed(std::string(argv[i], (size_t)(at - argv[i]))) : -1;
        const char* dash = at ? std::strchr(at, '-') : nullptr;
        const int down = at ? std::atoi(at + 1) : 0, up = dash ? std::atoi(dash + 1) : down;
        if (key < 0 || down < 1 || up < down) {
            std::fprintf(stderr, "desktop_frame: '%s' is not KEY@FLIP or KEY@DOWN-UP\n", argv[i]);
            return 2;
        }
        headless::At(down, [key] { headless::KeyDown(key); });
        headless::At(up, [key] { headless::KeyUp(key); });
    }
    // The game writes its settings and worlds folder where it starts.
    char folder[] = "/tmp/quillmoor-frame-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) return 1;
    std::vector<uint8_t> rgba;
    headless::At(std::atoi(argv[2]), [&] {
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
