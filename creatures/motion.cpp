// Moving creatures through the blocks of an area: jumps, steering, the
// step of motion with its push-outs and gravity, and taking a hit.
#include "areas/areas.h"
#include "creatures/creatures.h"
#include "base/assets.h"

namespace {
// A push-out never needs more than a box or two of pixels; this bound only
// keeps a creature stuck in a nonsensical area from hanging the game.
constexpr int PUSHLIMIT = 4096;

struct Corners {
    int32_t L, R, T, B;
    bool c1, c2, c3, c4;
    int Count() const { return c1 + c2 + c3 + c4; }
};

Corners Sample(const entity& e) {
    Corners c;
    c.L = ToTile(e.x + 1);
    c.R = ToTile(e.x + e.width - 2);
    c.T = ToTile(e.y);
    c.B = ToTile(e.y + e.height - 1);
    c.c1 = IsSolid(c.L, c.T);
    c.c2 = IsSolid(c.L, c.B);
    c.c3 = IsSolid(c.R, c.T);
    c.c4 = IsSolid(c.R, c.B);
    return c;
}

bool BottomBlocked(const entity& e) {
    const int32_t B = ToTile(e.y + e.height - 1);
    return IsSolid(ToTile(e.x + 1), B) || IsSolid(ToTile(e.x + e.width - 2), B);
}
bool TopBlocked(const entity& e) {
    const int32_t T = ToTile(e.y);
    return IsSolid(ToTile(e.x + 1), T) || IsSolid(ToTile(e.x + e.width - 2), T);
}

void RiseOut(entity& e) {
    for (int n = 0; n < PUSHLIMIT && BottomBlocked(e); ++n) --e.y;
}
void SinkOut(entity& e) {
    for (int n = 0; n < PUSHLIMIT && TopBlocked(e); ++n) ++e.y;
}

void Land(entity& e) {
    if (e.onground == 0) sfxland.Play();
    e.onground = 1;
}
}  // namespace

int32_t entity::Jump(int32_t speed) {
    if (onground == 1) yv = -speed;
    onground = 0;
    return 0;
}

int32_t entity::Approach(int32_t step, int32_t targetx, int32_t /*targety*/) {
    if (x > targetx) xv -= step;
    if (x < targetx) xv += step;
    return 0;
}

int32_t entity::UpdateMotion() {
    // Sideways.
    x += xv / 10;
    Corners c = Sample(*this);
    if (c.Count() >= 3) {
        x -= xv / 10;
    } else if (c.c1 && c.c2) {
        for (int n = 0; n < PUSHLIMIT && (IsSolid(ToTile(x + 1), c.T) || IsSolid(ToTile(x + 1), c.B)); ++n) ++x;
        xv = -5;
    } else if (c.c3 && c.c4) {
        for (int n = 0; n < PUSHLIMIT && (IsSolid(ToTile(x + width - 2), c.T) || IsSolid(ToTile(x + width - 2), c.B));
             ++n)
            --x;
        xv = 5;
    } else if (c.c2 && c.c4) {
        RiseOut(*this);
        yv = 0;
    } else if (c.c1 && c.c3) {
        SinkOut(*this);
        yv = 0;
    } else if (c.c2 || c.c4) {
        // Brushing a ledge with the lower part of the box steps up onto it.
        RiseOut(*this);
        yv = 0;
        Land(*this);
    } else if (c.c1 || c.c3) {
        x -= xv / 10;
    }

    // Up and down.
    y += yv / 10;
    c = Sample(*this);
    if (c.Count() >= 3) {
        y -= yv / 10;
    } else if (c.c2 || c.c4) {
        RiseOut(*this);
        yv = 0;
        Land(*this);
    } else if (c.c1 || c.c3) {
        // The speed is kept: a creature rising into a ceiling stays under it
        // until gravity turns it.
        SinkOut(*this);
    }

    // What is underfoot. On a single corner the creature keeps sinking by
    // gravity and is lifted back, so it stays standing.
    const int32_t G = ToTile(y + height);
    const bool left = IsSolid(ToTile(x + 1), G), right = IsSolid(ToTile(x + width - 2), G);
    if (!left && !right) {
        onground = 0;
        yv += 3;
    } else if (!left || !right) {
        yv += 3;
    } else {
        Land(*this);
        yv = 0;
    }

    // Friction, the second test seeing the first's result.
    const int32_t fr = onground == 1 ? 3 : 1;
    if (xv > 0) xv -= fr;
    if (xv < 0) xv += fr;

    if (yv > 100) yv = 100;
    if (y < -32) y = -32;
    if (y >= (areaheight / 2) * 16) {
        if (x < 0) {
            x = 0;
            xv = 0;
        } else if (x >= areawidth * 16) {
            x = areawidth * 16;
            xv = 0;
        }
    }
    // The floor of the area is measured with the box's width.
    if (y > areaheight * 16 - width) {
        y = areaheight * 16 - width;
        yv = 0;
        onground = 1;
    }

    if (swinging > 1) --swinging;
    if (invinced > 0) --invinced;
    return 0;
}

int32_t entity::TakeHit(uint8_t damage, const TSound* sound) {
    if (HP <= 0 || invinced != 0) return 0;
    if (sound) sound->Play();
    HP = HP - damage > 0 ? HP - damage : 0;
    if (f == 0) xv = 40;
    if (f == 1) xv = -40;
    yv = -30;
    onground = 0;
    invinced = 30;
    return 0;
}
