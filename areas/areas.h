// Areas: the side-view places behind every overworld tile.
#pragma once

#include <cstdint>

// The area now open is a passing visit (a wild encounter or a revisit of a
// cleared tile): twice the enemies, no drops, never saved. Cleared when the
// encounter ends.
extern uint8_t temparea;
// An encounter just ended with the marker left sliding on its tile: the next
// arrival check lets it finish instead of starting the tile again.
extern uint8_t justleft;
