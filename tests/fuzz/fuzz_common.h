// Shared ground of the file fuzzers: each runs in a scratch folder of its
// own on the headless machine, so the files it writes go nowhere else.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "base/assets.h"

inline void EnterScratchFolder() {
    static char name[] = "/tmp/quillmoor-fuzz-XXXXXX";
    if (!mkdtemp(name) || chdir(name) != 0) std::abort();
    // Gone when the run ends; one that crashed leaves it to be looked at.
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(name, ec);
    });
    LoadAssets();
    MakeDir("worlds");
}

// Replaces a file with the given bytes, as a player's disk might hold them.
inline void PutFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(SystemPath(path).c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

// A broken promise of the loaders is a crash the fuzzer reports.
#define FUZZ_CHECK(cond)                                                      \
    do {                                                                      \
        if (!(cond)) {                                                        \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                     \
        }                                                                     \
    } while (0)
