// The marker and its one way of moving.
#include "overworld/overworld.h"

actor marker;

// A refused step is silent: the caller has turned the marker already.
void actor::Move(int32_t nx, int32_t ny) {
    if (IsBlocked(nx, ny)) return;
    x = nx;
    y = ny;
    moving = 8;
}
