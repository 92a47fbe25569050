// Small hand-drawn maps for the overworld's tests.
#pragma once

#include <string>
#include <vector>

#include "overworld/overworld.h"

using Rows = std::vector<std::string>;

// Paints terrain with its top-left corner at (x0, y0), one character a tile:
// . plains  ^ mountain  ~ water  f forest  d desert  h home  5 baked ground.
// A capital letter, or # for known water, is the same terrain already known.
inline void Paint(const Rows& rows, int x0 = 0, int y0 = 0) {
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) {
            char ch = rows[r][c];
            uint8_t known = encounters::wild;
            if (ch == '#') ch = '~', known = encounters::cleared;
            if (ch == 'P') ch = '.', known = encounters::cleared;
            if (ch >= 'A' && ch <= 'Z') ch = (char)(ch - 'A' + 'a'), known = encounters::cleared;
            uint8_t t = terrains::plains;
            switch (ch) {
            case '^': t = terrains::mountain; break;
            case '~': t = terrains::water; break;
            case 'f': t = terrains::forest; break;
            case 'd': t = terrains::desert; break;
            case 'h': t = terrains::home; break;
            case '5': t = 5; break;
            }
            terrain[x0 + c][y0 + r] = t;
            encountertype[x0 + c][y0 + r] = known;
        }
}

// The encounter types of a w x h block, one digit a tile.
inline Rows Types(int w, int h, int x0 = 0, int y0 = 0) {
    Rows rows;
    for (int y = y0; y < y0 + h; ++y) {
        std::string row;
        for (int x = x0; x < x0 + w; ++x) row += (char)('0' + encountertype[x][y]);
        rows.push_back(row);
    }
    return rows;
}

// Every tile of the map set to one encounter type.
inline void KnowAll(uint8_t type = encounters::cleared) {
    for (auto& column : encountertype)
        for (auto& t : column) t = type;
}
