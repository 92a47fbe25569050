// Creatures: the record shared by the player, enemies and villagers, the
// player's lasting state (hearts, armour, gold, experience, inventory, form)
// and the player's transient control state.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// A creature of a side-view area. Positions in area pixels, speeds in tenths
// of a pixel per update step. Enemies and villagers derive from it and append
// their own operations after these thirteen, which keep this order.
class entity {
public:
    int32_t x = 0, y = 0;    // top-left corner of the box
    int32_t xv = 0, yv = 0;  // speed; positive is right and down
    uint8_t f = 0;           // facing: 0 left, 1 right, 2 neutral (the player dropped mid-area)
    uint8_t anim = 0;        // pixels walked since the walk pose last changed
    uint8_t width = 16, height = 16;
    uint8_t invinced = 0;    // steps left of invincibility
    int32_t HP = 5;
    uint8_t onground = 1;
    uint8_t swinging = 0;    // 0 ready; 8 or 9 at a swing's start, down to 1 (spent)

    virtual ~entity() = default;

    // Motion and collision.
    virtual int32_t Jump(int32_t speed);
    virtual int32_t Approach(int32_t step, int32_t targetx, int32_t targety);
    virtual int32_t UpdateMotion();
    virtual int32_t TakeHit(uint8_t damage, const TSound* sound);
    // The player's body.
    virtual int32_t CreatureChange(uint8_t newform);
    // The player's controls.
    virtual int32_t DBGTransform();
    virtual int32_t CreatureInput(uint8_t inform);
    virtual int32_t FollowInput();
    // The area view and HUD.
    virtual int32_t DrawView();
    // The inventory screen.
    virtual int32_t OpenInventory();
    // Death and the area wipes.
    virtual int32_t GetRekt();
    virtual int32_t LevelTransIn(uint8_t kind);
    virtual int32_t LevelTransOut(uint8_t kind);
};

// The box of each creature form, by `form`: human, small slime, big slime,
// scorpion.
struct FormBox {
    uint8_t width, height;
};
constexpr int FORMS = 4;
extern const FormBox formboxes[FORMS];

// ---------------------------------------------------------------- lasting player state

extern uint8_t maxHP;    // hearts: the player's HP on entering an area
extern uint8_t maxAP;    // most armour points
extern uint8_t AP;       // armour points now; they take enemy damage before HP
extern uint8_t APgain;   // armour regained per enemy killed unscathed
extern int32_t gold;
extern uint8_t alchemy;  // gold-per-kill factor
extern uint8_t level;    // the next raise costs level x (level + 1) / 2 experience
// Experience sits in a namespace of its own: at global scope its name would
// collide with the C library's exponential function.
namespace player {
extern int32_t exp;
}

// The inventory, [column 0..4][row 0..5]: rows 0 to 4 are the bag, row 5 the
// hotbar, [0][5] the held item. Item 0 is an empty cell (the bare hand).
constexpr int INVCOLS = 5, INVROWS = 6;
extern uint16_t invitem[INVCOLS][INVROWS];
extern uint16_t invamt[INVCOLS][INVROWS];

// The creature form: 0 human, 1 small slime, 2 big slime, 3 scorpion. Not
// saved; kept from area to area until changed.
extern uint8_t form;

// ---------------------------------------------------------------- transient control state

extern uint8_t invopen;   // 1 while the inventory screen runs
extern uint8_t facelock;  // steps in which left and right speed up without turning
extern uint8_t jumpbuf;   // 0 ready, 7..2 a jump press waiting, 1 used: wait for release
