// The block rules of player control that other parts share.
#pragma once

#include <cstdint>

// Every block may go anywhere empty except a bush, which needs solid ground.
bool CanPlace(int32_t x, int32_t y, uint8_t code);
// Clears the bushes left without ground in the 3x3 tiles around (x, y).
void SettleAround(int32_t x, int32_t y);
