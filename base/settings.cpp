// settings.ini: four CR LF lines read by position, not by key. Players edit
// it by hand, so every line may be missing or malformed.
#include <algorithm>

#include "base/base.h"

uint8_t UPSCALING = 2;
uint8_t FULLSCREEN = 0;
std::string WORLDNAME = "Defaultia";
uint8_t VSYNC = 1;

namespace {
const char* const SETTINGSFILE = "settings.ini";
const char* const DEFAULTWORLD = "Defaultia";
}  // namespace

// Only the one character after the first "=" counts: "10" reads as 1.
int ParseNumber(const std::string& line) {
    size_t eq = line.find('=');
    size_t at = eq == std::string::npos ? 0 : eq + 1;
    if (at >= line.size()) return 0;
    char c = line[at];
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

std::string ParseText(const std::string& line) {
    size_t eq = line.find('=');
    size_t at = eq == std::string::npos ? 0 : eq + 1;
    return line.substr(std::min(at, line.size()), 32);
}

bool SafeWorldName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (c == '/' || c == '\\' || c < 32) return false;
    return true;
}

void LoadSettings() {
    auto f = OpenRead(SETTINGSFILE);
    if (f) ReadSettings(*f);
}

void ReadSettings(TStream& f) {
    UPSCALING = (uint8_t)ParseNumber(f.ReadLine());
    FULLSCREEN = (uint8_t)ParseNumber(f.ReadLine());
    WORLDNAME = ParseText(f.ReadLine());
    // The world name becomes a folder name: never let it climb out of "worlds".
    if (!SafeWorldName(WORLDNAME)) WORLDNAME = DEFAULTWORLD;
    VSYNC = (uint8_t)ParseNumber(f.ReadLine());
    f.Close();
    if (UPSCALING < 1) UPSCALING = 1;
    if (UPSCALING > 4) UPSCALING = 4;
    if (VSYNC > 1) VSYNC = 1;
}

std::string SettingsText() {
    std::string text;
    for (const std::string& line :
         {"UPSCALING=" + std::to_string(UPSCALING), "FULLSCREEN=" + std::to_string(FULLSCREEN) + " (requires upscaling x4)",
          "WORLDNAME=" + WORLDNAME, "VSYNC=" + std::to_string(VSYNC)})
        text += line + "\r\n";
    return text;
}

bool SaveSettings() {
    auto f = OpenWrite(SETTINGSFILE);
    if (!f) return false;
    const std::string text = SettingsText();
    f->WriteBytes(text.data(), text.size());
    return f->Close();
}
