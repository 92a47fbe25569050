// The inventory operations every giver, taker and user of items goes through.
#include "areas/inventory.h"

#include <array>

#include "creatures/creatures.h"
#include "creatures/items.h"
#include "base/assets.h"

namespace {
struct Cell {
    int column, row;
};

// The order AddItem tries the cells in: the bag row by row, then the hotbar
// from column 4 down, so the held cell [0][5] is the very last.
constexpr std::array<Cell, INVCOLS * INVROWS> FillOrder() {
    std::array<Cell, INVCOLS * INVROWS> order{};
    int n = 0;
    for (int r = 0; r < INVROWS - 1; ++r)
        for (int c = 0; c < INVCOLS; ++c) order[n++] = {c, r};
    for (int c = INVCOLS - 1; c >= 0; --c) order[n++] = {c, INVROWS - 1};
    return order;
}
constexpr std::array<Cell, INVCOLS * INVROWS> FILLORDER = FillOrder();
}  // namespace

uint16_t AddItem(uint16_t item, uint16_t amount) {
    // Sums in 32 bits: a stack of 9999 and an amount of 65535 must not wrap
    // round to something that looks as if it fitted.
    const int32_t limit = StackLimit(item);
    if (limit > 1) {
        for (const Cell& k : FILLORDER) {
            if (invitem[k.column][k.row] != item) continue;
            const int32_t sum = (int32_t)invamt[k.column][k.row] + amount;
            if (sum > limit) continue;
            invamt[k.column][k.row] = (uint16_t)sum;
            return (uint16_t)sum;
        }
    }
    for (const Cell& k : FILLORDER) {
        if (invitem[k.column][k.row] != 0) continue;
        invitem[k.column][k.row] = item;
        invamt[k.column][k.row] = amount;
        return amount;
    }
    return 0;
}

void SwapSlots(uint8_t column1, uint8_t row1, uint8_t column2, uint8_t row2) {
    if (column1 >= INVCOLS || row1 >= INVROWS || column2 >= INVCOLS || row2 >= INVROWS) return;
    uint16_t& item1 = invitem[column1][row1];
    uint16_t& item2 = invitem[column2][row2];
    uint16_t& amount1 = invamt[column1][row1];
    uint16_t& amount2 = invamt[column2][row2];
    if (item1 == item2 && amount1 == amount2) return;
    const uint16_t item = item1, amount = amount1;
    item1 = item2;
    amount1 = amount2;
    item2 = item;
    amount2 = amount;
    sfxswap.Play();
}

void WearHeld(uint16_t uses) {
    uint16_t& item = invitem[0][INVROWS - 1];
    uint16_t& amount = invamt[0][INVROWS - 1];
    if (item == 0 || uses == 0) return;
    // Never below 0: more uses than are left empty the cell.
    amount = amount > uses ? (uint16_t)(amount - uses) : 0;
    if (amount == 0) item = 0;
}

int32_t WeaponPower(uint16_t item) { return ItemKindOf(item).weaponpower; }

uint16_t StackLimit(uint16_t item) { return ItemKindOf(item).stacklimit; }

float ItemValue(uint16_t item) { return ItemKindOf(item).value; }
