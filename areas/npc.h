// The people of the villages: villagers who talk, collectors who buy and
// shopkeepers who sell tools. They stand still and turn toward the player.
#pragma once

#include <cstdint>
#include <string>

#include "creatures/creatures.h"

namespace npckinds {
constexpr uint8_t villager = 0, collector = 1, shopkeeper = 2;
}

class NPC : public entity {
public:
    uint8_t kind = 0;
    uint16_t dialogue = 0;  // which line it says
    uint8_t speaking = 0;   // update steps its speech bubble stays up
    uint16_t stock[8] = {}; // a shopkeeper's wares, 0 for none
    uint16_t amt[8] = {};   // the uses that come with each ware

    // Turns toward the player.
    virtual int32_t Act(int32_t px, int32_t py);
    // Kinds past the shopkeeper are villagers. Draws the line and, for a
    // shopkeeper, fills the stock.
    virtual int32_t SetKind(uint8_t k);
    // Its line, which for the first few depends on the village's land.
    virtual std::string GetText() const;
    virtual int32_t Draw();
    // The speech bubble while it speaks; each drawn frame uses one up.
    virtual int32_t DrawDialogue();
    // The shopkeeper's shop and the collector's screen; each returns when closed.
    virtual int32_t Vend(entity& player);
    virtual int32_t Buy(entity& player);
};
