// The shopkeeper's shop and the collector's buying screen, over the frozen
// area.
#pragma once

#include <cstdint>

class NPC;
class entity;

// The price of an amount of an item: the whole part of its value times the amount.
int32_t Price(uint16_t item, uint16_t amount);
// What a collector pays for it: a quarter of that, whole part.
int32_t CollectorPays(uint16_t item, uint16_t amount);

// The shop: sells the shopkeeper's stock while the player can pay and carry it.
int32_t ShopScreen(NPC& shopkeeper, entity& player);
// The collector's screen: buys any item of the player's.
int32_t CollectorScreen(NPC& collector, entity& player);
