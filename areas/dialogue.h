// What the people of the villages say.
#pragma once

#include <cstdint>
#include <string>

// The line numbered `dialogue`; lines 0 to 3 depend on the terrain of the
// village's overworld tile. Unknown numbers say "NO MSG".
std::string DialogueLine(uint16_t dialogue, uint8_t terrain);
