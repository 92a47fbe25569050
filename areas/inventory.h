// The inventory operations: giving items (AddItem), exchanging two cells
// (SwapSlots), wearing down the held item (WearHeld), and the per-item
// lookups WeaponPower, StackLimit and ItemValue, which read the item table of
// creatures/items.h. The cells are invitem / invamt [column 0..4][row 0..5]
// of creatures/creatures.h: rows 0 to 4 the bag, row 5 the hotbar, [0][5]
// the held item.
#pragma once

#include <cstdint>

// Puts amount of item into the first cell that takes it and returns the
// amount now in that cell; 0 (and nothing changed) when no cell takes it.
// Cells are tried in this order: the bag rows 0 to 4, each from column 0 to
// 4, then the hotbar from column 4 down to the held cell [0][5]. First a
// stack of the same item with room for the whole amount (only items whose
// StackLimit is above 1), then the first empty cell. A stack is never split.
uint16_t AddItem(uint16_t item, uint16_t amount);
// Exchanges the item ids and amounts of two cells and plays "sfx\swap.wav";
// when both already hold the same id and the same amount (or a cell is
// outside the grid), nothing happens and nothing plays.
void SwapSlots(uint8_t column1, uint8_t row1, uint8_t column2, uint8_t row2);
// Takes uses from the amount of the held item; the cell empties (id 0) when
// it reaches 0. The empty hand never wears; uses 0 changes nothing.
void WearHeld(uint16_t uses);
// Damage a swing deals to an enemy holding item: empty hand 1, sword 2,
// 0 for everything else (it cannot hit).
int32_t WeaponPower(uint16_t item);
// The most a cell holds when items are added: blocks 9999, drops 1,
// everything else 0.
uint16_t StackLimit(uint16_t item);
// Unit value for the shops: a block's value (its hardness), a tool's or
// drop's value from the item table, 0 for the rest.
float ItemValue(uint16_t item);
