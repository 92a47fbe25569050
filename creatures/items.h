// The item kinds: one table of every item id's icon, powers, stack limit,
// value, use sound and colours, and the lookups that read it. Item ids are
// unsigned 16-bit: 0 the empty cell (the bare hand when held), 1 to 255 the
// block of that code, 256 sword, 257 shovel, 258 axe, 259 pickaxe, 272 to 274
// the enemy drops. The inventory operations and the lookups WeaponPower,
// StackLimit and ItemValue are in areas/inventory.h; they read this table too.
#pragma once

#include <cstdint>

#include "engine/draw.h"
#include "platform/platform.h"

// One row of the table: the ids first..last, which share every column but
// the icon frame (id - framebase).
struct ItemKind {
    struct Colour {
        uint8_t r, g, b;
    };
    uint16_t first, last;
    const char* name;
    const TImage* image;  // the icon's picture; null above 511 (no icon)
    uint16_t framebase;   // icon frame = id - framebase
    int32_t weaponpower;  // damage to an enemy per hit; 0 cannot hit
    int32_t digpower;     // dig damage per swing; 0 does not dig
    uint16_t stacklimit;  // above 1: AddItem may add to an existing cell
    float value;          // unit price basis of the shops
    const TSound* usesound;
    Colour slash;   // the slash drawn while swinging it
    Colour amount;  // its amount in DrawAmount (never drawn for id 0)
};

// The rows in ascending order of id, together covering 0 to 65535 once.
extern const ItemKind itemkinds[];
extern const int ITEMKINDS;

// The row that holds id.
const ItemKind& ItemKindOf(uint16_t id);

// The icon: "gfx\block.png" below 256, "gfx\item.png" for 256 to 511, null
// (nothing to draw) from 512 on.
const TImage* ItemImage(uint16_t id);
// The icon's frame: id below 256, id - 256 for 256 to 511, 0 from 512 on.
int32_t ItemFrame(uint16_t id);
// Dig damage per swing holding it: bare hand 1, shovel 2, axe 3, pickaxe 5,
// 0 for everything else.
int32_t DigPower(uint16_t id);
// The sound of using it (swinging, digging, placing).
const TSound& UseSound(uint16_t id);
// Sets the drawing colour to its slash colour.
void SlashTint(uint16_t id);
// The amount in decimal at (x, y) with DrawShadowText (alignment 0 left edge
// at x, 1 centred, 2 right edge at x; inverse shadow) in the item's amount
// colour; nothing for id 0 or an amount below 2. Leaves the colour white
// when it draws.
void DrawAmount(uint16_t id, uint16_t amount, int x, int y, int alignment);

// Draws an item's icon with its top-left corner at (x, y); the bare hand (0)
// has one too. Ids without a picture draw nothing.
void DrawItemIcon(uint16_t id, int x, int y);

class entity;
// The inventory screen over the player's frozen area; returns when closed.
// Does not open for a player facing neither way.
int32_t InventoryScreen(entity& player);
