// sfxgen: builds the game's sound effects from their text descriptions.
//
//   sfxgen <source dir> <output dir>
//
// Every "NAME.sfx" in the source dir becomes "NAME.wav" in the output dir:
// 16-bit signed PCM, one channel, 44 100 samples per second, nothing but a
// 16-byte "fmt " chunk and a "data" chunk. The source format is described in
// art/README.md under "Sounds".
//
// All sources are read and checked before anything is written; a malformed
// source is reported as "file:line: message" and the tool exits with 1.
//
// The output is the same byte for byte on every run and every machine; the
// sounds are made by the game's own maker (media/synth.h), which the
// browser runs at load to make the same samples.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "media/synth.h"

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------
// Output

void Put32(std::string& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}
void Put16(std::string& b, uint16_t v) {
    b.push_back(static_cast<char>(v & 0xff));
    b.push_back(static_cast<char>(v >> 8));
}

bool WriteWav(const fs::path& path, const std::vector<int16_t>& samples) {
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string b;
    b += "RIFF";
    Put32(b, 36 + dataBytes);
    b += "WAVEfmt ";
    Put32(b, 16);
    Put16(b, 1);  // PCM
    Put16(b, 1);  // mono
    Put32(b, 44100);
    Put32(b, 44100 * 2);
    Put16(b, 2);
    Put16(b, 16);
    b += "data";
    Put32(b, dataBytes);
    for (int16_t s : samples) Put16(b, static_cast<uint16_t>(s));
    std::ofstream out(path, std::ios::binary);
    out.write(b.data(), static_cast<std::streamsize>(b.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: sfxgen <source dir> <output dir>\n";
        return 2;
    }
    fs::path sourceDir = argv[1], outputDir = argv[2];
    std::error_code ec;
    if (!fs::is_directory(sourceDir, ec)) {
        std::cerr << "sfxgen: '" << sourceDir.string() << "' is not a folder\n";
        return 1;
    }

    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(sourceDir, ec))
        if (entry.is_regular_file() && entry.path().extension() == ".sfx") paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    if (paths.empty()) {
        std::cerr << "sfxgen: no .sfx sources in '" << sourceDir.string() << "'\n";
        return 1;
    }

    std::vector<synth::Sound> sounds;
    bool ok = true;
    for (const fs::path& path : paths) {
        std::ifstream in(path, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in && !in.eof()) {
            std::cerr << path.string() << ": cannot be read\n";
            ok = false;
            continue;
        }
        synth::Sound sound;
        std::string errors;
        if (synth::Parse(path.string(), text.data(), text.size(), sound, errors)) sounds.push_back(sound);
        else ok = false;
        std::cerr << errors;
    }
    if (!ok) {
        std::cerr << "sfxgen: nothing written\n";
        return 1;
    }

    std::vector<std::vector<int16_t>> rendered(sounds.size());
    for (size_t i = 0; i < sounds.size(); ++i) {
        if (!synth::Render(sounds[i], rendered[i])) {
            std::cerr << paths[i].string() << ": the sound is silent\n";
            ok = false;
        }
    }
    if (!ok) {
        std::cerr << "sfxgen: nothing written\n";
        return 1;
    }

    fs::create_directories(outputDir, ec);
    for (size_t i = 0; i < sounds.size(); ++i) {
        fs::path out = outputDir / (paths[i].stem().string() + ".wav");
        if (!WriteWav(out, rendered[i])) {
            std::cerr << "sfxgen: cannot write '" << out.string() << "'\n";
            return 1;
        }
    }
    std::cout << "sfxgen: wrote " << sounds.size() << " sounds to " << outputDir.string() << "\n";
    return 0;
}
