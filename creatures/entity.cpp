// The creature record's own operation: changing the player's body.
#include "creatures/creatures.h"

const FormBox formboxes[FORMS] = {{16, 16}, {8, 8}, {12, 12}, {16, 12}};

// Any other form number is taken as given but keeps the box: nothing moves or
// draws such a body, and a box of no size would fall through the world.
int32_t entity::CreatureChange(uint8_t newform) {
    form = newform;
    if (newform < FORMS) {
        width = formboxes[newform].width;
        height = formboxes[newform].height;
    }
    return 0;
}
