// The built-in pictures as the game loads them: file name, picture size, the
// cell size they are cut into, and which frames the game draws with nothing
// behind them (terrain tiles, solid and backdrop blocks), so those frames may
// not have a single transparent pixel.
#pragma once

#include <string>
#include <vector>

namespace gfx {

struct Layout {
    std::string name;         // file name without ".png", also the source name
    int width, height;        // whole picture in pixels
    int cellw, cellh;         // frame size; equal to the picture for single pictures
    bool mono;                // the font: 1-bit black and white palette picture
    std::vector<int> opaque;  // frames that must cover their whole cell

    int Columns() const { return width / cellw; }
    int Frames() const { return (width / cellw) * (height / cellh); }
};

inline const std::vector<Layout>& Pictures() {
    static const std::vector<Layout> all = {
        // Terrain tiles 0 to 6 are drawn straight onto the cleared screen.
        {"overworld", 256, 256, 16, 16, false, {0, 1, 2, 3, 4, 5, 6}},
        // Every block but leaves and bush hides what lies behind it, and the
        // view paints sky only behind air, leaves and bushes.
        {"block", 256, 256, 16, 16, false, {1, 2, 3, 4, 7, 8, 9, 10, 11}},
        {"blockdmg", 32, 32, 16, 16, false, {}},
        {"item", 256, 256, 16, 16, false, {}},
        {"playericon", 32, 32, 16, 16, false, {}},
        {"player", 64, 64, 16, 16, false, {}},
        {"slash", 32, 32, 16, 16, false, {}},
        {"font", 64, 40, 4, 5, true, {}},
        {"arrow", 16, 16, 8, 8, false, {}},
        {"heart", 8, 8, 8, 8, false, {}},
        {"shield", 8, 8, 8, 8, false, {}},
        {"gold", 8, 8, 8, 8, false, {}},
        {"exp", 8, 8, 8, 8, false, {}},
        {"bag", 8, 8, 8, 8, false, {}},
        {"baddie", 8, 8, 8, 8, false, {}},
        {"trash", 16, 16, 16, 16, false, {}},
        {"npc", 32, 64, 16, 16, false, {}},
        {"village", 16, 16, 16, 16, false, {}},
        {"enemy0", 16, 8, 8, 8, false, {}},
        {"enemy1", 24, 12, 12, 12, false, {}},
        {"enemy2", 32, 24, 16, 12, false, {}},
    };
    return all;
}

// Font cells the text of the game relies on. Glyphs keep to the three left
// columns so the fourth is the gap between letters; only these may use it.
inline bool FontMayUseFourthColumn(int code) { return code == '"' || code == '#' || code == '&'; }

// Codes that must be empty: spacing, the unused controls, and the three
// printable characters the game never shows.
inline bool FontBlank(int code) {
    return (code >= 5 && code <= 32) || code == '@' || code == '`' || code == '~' || code >= 127;
}

}  // namespace gfx
