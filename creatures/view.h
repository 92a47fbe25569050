// The area view's pieces other screens reuse.
#pragma once

#include <cstdint>

class entity;

// Where area pixel (0, 0) lands on screen: halfway between the camera's
// look point and the player, held inside the area's edges.
void ViewOrigin(const entity& p, int32_t& ox, int32_t& oy);
// Air, leaves and bushes let the sky show through.
bool SeeThrough(int32_t x, int32_t y);
// The background colour behind a tile: shimmering sky or earth by terrain,
// plain white while the player lies dead.
void SkyColour(int32_t x, int32_t y, int32_t hp);
// Radius in tiles of the lit square around a player whose centre is on row
// pr: the whole screen at the surface, shrinking with depth to 2.
int32_t LightRadius(int32_t pr);
// The crack picture of a block dug to damage d: 0 up to a quarter of its
// hardness, 3 from three quarters on; -1 for none.
int32_t CrackFrame(int32_t damage, int32_t hardness);
// The cross of the four quick slots around (cx, cy) with an item in the
// middle. The arrows flash while they swap; the inventory screen labels the
// top box with "JUMP".
void DrawQuickCross(int32_t cx, int32_t cy, uint16_t centre, uint16_t centreamt, bool flashing, bool jumplabel);
