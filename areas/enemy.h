// The hostile creatures of an area: slimes on plains, big slimes in forest,
// scorpions in the desert.
#pragma once

#include <cstdint>
#include <string>

#include "creatures/creatures.h"

namespace enemykinds {
constexpr uint8_t slime = 0, bigslime = 1, scorpion = 2;
}

// Items an enemy leaves behind, by kind.
constexpr uint16_t SLIMEDROP = 272, BIGSLIMEDROP = 273, SCORPIONDROP = 274;

class TEnemy : public entity {
public:
    uint8_t kind = 0;
    uint8_t ATK = 0;       // damage of a touch, before armour
    int32_t cooldown = 0;  // steps until a slime may hop again
    uint8_t r = 0, g = 0, b = 0;
    uint8_t usedweapon = 0;  // hit with something in hand: no gold
    uint8_t scathed = 0;     // touched the player, or born of a split: no armour back

    virtual int32_t SetKind(uint8_t k);
    // One step of behaviour toward the player; the speeds are not used.
    virtual int32_t Act(int32_t px, int32_t py, int32_t pxv, int32_t pyv);
    // Counts the cooldown down; when it has run out, starts it at v and says so.
    virtual bool CoolEnough(int32_t v);
    virtual int32_t OnDeath(int32_t px, int32_t py);
    // plain 1 keeps the colour already set instead of the enemy's shimmer.
    virtual int32_t Draw(uint8_t plain);
};

// The armour row of shields and empty dots floated over the player.
std::string ArmourRow();
