// settings.ini as a player might have edited it, read from memory: whatever
// it holds, the settings come out in their ranges and the world name stays
// in its folder.
#include "fuzz_common.h"
#include "base/base.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UPSCALING = 2;
    FULLSCREEN = 0;
    WORLDNAME = "Defaultia";
    VSYNC = 1;
    ReadSettings(*OpenMemory(data, size));
    FUZZ_CHECK(UPSCALING >= 1 && UPSCALING <= 4);
    FUZZ_CHECK(FULLSCREEN <= 9);
    FUZZ_CHECK(VSYNC <= 1);
    FUZZ_CHECK(SafeWorldName(WORLDNAME) && WORLDNAME.size() <= 32);
    // What is read is written back and reads the same again.
    const std::string text = SettingsText();
    const uint8_t u = UPSCALING, fs = FULLSCREEN, v = VSYNC;
    const std::string w = WORLDNAME;
    ReadSettings(*OpenMemory((const uint8_t*)text.data(), text.size()));
    FUZZ_CHECK(UPSCALING == u && FULLSCREEN == fs && VSYNC == v && WORLDNAME == w);
    return 0;
}
