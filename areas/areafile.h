// Area files: the blocks and villagers of lasting places (claimed land, the
// home, villages), one file per overworld tile in the world's folder.
#pragma once

#include <cstdint>
#include <string>

// The file of overworld tile (ox, oy): "worlds\<world>\<x>,<y>".
std::string AreaPath(int32_t ox, int32_t oy);
// Makes the area of tile (ox, oy) resident: its file when it has a whole one,
// otherwise a new area of the given size (which a lasting place stores at
// once). A damaged file is kept aside under its name with ".bad" added.
void LoadArea(int32_t ox, int32_t oy, int32_t width, int32_t height);
// Writes the resident area as the file of tile (ox, oy); a passing visit
// (temparea) is never written. False when the file could not be written.
bool SaveArea(int32_t ox, int32_t oy);

class TStream;
// Makes the area in an area file's bytes resident; false, changing nothing,
// when they are damaged.
bool ReadArea(TStream& f);
