// The inventory operations: where AddItem puts things and what it returns,
// stacking and its limits, exchanging cells with and without a sound, and
// wearing down the held item.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "areas/inventory.h"
#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "base/assets.h"
#include "testutil.h"

namespace {
constexpr uint16_t GRASS = 1, DIRT = 2, STONE = 3, SWORD = 256, SHOVEL = 257, AXE = 258, PICKAXE = 259,
                   SLIMEDROP = 272, BIGDROP = 273, SCORPIONDROP = 274;
const std::string SWAP = "sfx\\swap.wav";

using Place = std::pair<int, int>;  // column, row

class InventoryTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        for (const SoundEntry& s : soundcatalogue) s.sound->Load(s.path);
    }
    static void Put(Place p, uint16_t item, uint16_t amount) {
        invitem[p.first][p.second] = item;
        invamt[p.first][p.second] = amount;
    }
    static std::pair<uint16_t, uint16_t> At(Place p) { return {invitem[p.first][p.second], invamt[p.first][p.second]}; }
    // Every cell but those given holds a scorpion drop, which nothing stacks on.
    static void FillAllBut(std::initializer_list<Place> free) {
        for (int c = 0; c < INVCOLS; ++c)
            for (int r = 0; r < INVROWS; ++r) Put({c, r}, SCORPIONDROP, 1);
        for (Place p : free) Put(p, 0, 0);
    }
    struct Snapshot {
        uint16_t item[INVCOLS][INVROWS], amt[INVCOLS][INVROWS];
        explicit Snapshot() {
            std::memcpy(item, invitem, sizeof item);
            std::memcpy(amt, invamt, sizeof amt);
        }
        bool Same() const {
            return std::memcmp(item, invitem, sizeof item) == 0 && std::memcmp(amt, invamt, sizeof amt) == 0;
        }
    };
    // The one cell whose contents differ from the snapshot; {-1, -1} when none
    // or several do.
    static Place Changed(const Snapshot& before) {
        Place found{-1, -1};
        int n = 0;
        for (int c = 0; c < INVCOLS; ++c)
            for (int r = 0; r < INVROWS; ++r)
                if (before.item[c][r] != invitem[c][r] || before.amt[c][r] != invamt[c][r]) {
                    found = {c, r};
                    ++n;
                }
        return n == 1 ? found : Place{-1, -1};
    }
};

// The search order: the bag row by row, then the hotbar from
// column 4 down to the held cell.
std::vector<Place> SearchOrder() {
    std::vector<Place> order;
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) order.push_back({c, r});
    for (int c = 4; c >= 0; --c) order.push_back({c, 5});
    return order;
}
}  // namespace

// ---------------------------------------------------------------- AddItem

TEST_F(InventoryTest, EmptyCellsFillBagFirstThenTheHotbarFromColumnFourWithTheHeldCellLast) {
    // Tools never stack, so each takes the next empty cell.
    const uint16_t tools[4] = {SWORD, SHOVEL, AXE, PICKAXE};
    std::vector<Place> landed;
    for (int i = 0; i < 30; ++i) {
        const Snapshot before;
        const uint16_t item = tools[i % 4];
        const uint16_t uses = (uint16_t)(100 + i);
        EXPECT_EQ(AddItem(item, uses), uses) << i;
        const Place p = Changed(before);
        landed.push_back(p);
        EXPECT_EQ(At(p), std::make_pair(item, uses)) << i;
    }
    EXPECT_EQ(landed, SearchOrder());
    const Snapshot full;
    EXPECT_EQ(AddItem(SWORD, 100), 0);
    EXPECT_EQ(AddItem(GRASS, 1), 0);
    EXPECT_TRUE(full.Same());
    EXPECT_TRUE(headless::SoundsPlayed().empty());
}

TEST_F(InventoryTest, WithTheBagFullTheQuickSlotsFillFromTheLeftOneRoundToTheHeldCell) {
    FillAllBut({{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}});
    const Place expected[5] = {{4, 5}, {3, 5}, {2, 5}, {1, 5}, {0, 5}};
    for (const Place& p : expected) {
        const Snapshot before;
        EXPECT_EQ(AddItem(SLIMEDROP, 1), 1);
        EXPECT_EQ(Changed(before), p);
        EXPECT_EQ(At(p), std::make_pair(SLIMEDROP, (uint16_t)1));
    }
    EXPECT_EQ(AddItem(SLIMEDROP, 1), 0);
}

TEST_F(InventoryTest, StackingAndItsReturns) {
    struct Given {
        Place place;
        uint16_t item, amount;
    };
    struct Case {
        const char* what;
        std::vector<Given> given;
        uint16_t item, amount;
        uint16_t returned;
        Place where;  // the one cell that changed; {-1, -1}: none
        uint16_t now;  // its amount afterwards
    } cases[] = {
        {"grass stack of 9998 takes one more", {{{2, 0}, GRASS, 9998}}, GRASS, 1, 9999, {2, 0}, 9999},
        {"a full stack of 9999 starts a new one", {{{2, 0}, GRASS, 9999}}, GRASS, 1, 1, {0, 0}, 1},
        {"an amount that does not fit whole is not split", {{{0, 0}, GRASS, 9990}}, GRASS, 20, 20, {1, 0}, 20},
        {"exactly to the limit", {{{0, 0}, GRASS, 9990}}, GRASS, 9, 9999, {0, 0}, 9999},
        {"the first stack with room in search order", {{{0, 0}, GRASS, 9995}, {{3, 1}, GRASS, 10}, {{4, 0}, GRASS, 7}},
         GRASS, 10, 17, {4, 0}, 17},
        {"a stack in the hotbar before an empty bag cell", {{{3, 5}, DIRT, 5}}, DIRT, 2, 7, {3, 5}, 7},
        {"the held cell stacks too", {{{0, 5}, STONE, 1}}, STONE, 1, 2, {0, 5}, 2},
        {"another block does not stack", {{{0, 0}, GRASS, 5}}, DIRT, 5, 5, {1, 0}, 5},
        {"a drop never stacks", {{{0, 0}, SLIMEDROP, 1}}, SLIMEDROP, 1, 1, {1, 0}, 1},
        // Only a limit above 1 stacks: a drop of limit 1 never does, even where 0 + 1 would fit.
        {"an emptied drop cell takes no more", {{{0, 0}, SLIMEDROP, 0}}, SLIMEDROP, 1, 1, {1, 0}, 1},
        {"a big slime drop never stacks", {{{0, 0}, BIGDROP, 1}}, BIGDROP, 1, 1, {1, 0}, 1},
        {"a tool never stacks", {{{0, 0}, SHOVEL, 5}}, SHOVEL, 450, 450, {1, 0}, 450},
        // 9999 + 65535 wraps to 9998 in 16 bits and 1 + 65535 to 0: neither fits.
        {"no 16-bit wrap past the limit", {{{0, 0}, GRASS, 9999}}, GRASS, 65535, 65535, {1, 0}, 65535},
        {"no 16-bit wrap to zero", {{{0, 0}, GRASS, 1}}, GRASS, 65535, 65535, {1, 0}, 65535},
        {"an empty cell takes any amount", {}, GRASS, 30000, 30000, {0, 0}, 30000},
    };
    for (const Case& c : cases) {
        NewPlayer();
        for (const Given& g : c.given) Put(g.place, g.item, g.amount);
        const Snapshot before;
        EXPECT_EQ(AddItem(c.item, c.amount), c.returned) << c.what;
        EXPECT_EQ(Changed(before), c.where) << c.what;
        if (c.where.first >= 0) {
            EXPECT_EQ(At(c.where), std::make_pair(c.item, c.now)) << c.what;
        }
    }
}

TEST_F(InventoryTest, TheGrassStackFillsToTheLimitThenANewStackStarts) {
    Put({2, 0}, GRASS, 9998);
    EXPECT_EQ(AddItem(GRASS, 1), 9999);
    EXPECT_EQ(At({2, 0}), std::make_pair(GRASS, (uint16_t)9999));
    EXPECT_EQ(AddItem(GRASS, 1), 1);
    EXPECT_EQ(At({0, 0}), std::make_pair(GRASS, (uint16_t)1));
    EXPECT_EQ(AddItem(GRASS, 1), 2);  // the new stack, first in order, takes the next
    EXPECT_EQ(At({0, 0}), std::make_pair(GRASS, (uint16_t)2));
    EXPECT_EQ(At({2, 0}), std::make_pair(GRASS, (uint16_t)9999));
}

TEST_F(InventoryTest, AFullInventoryStillStacksWhereThereIsRoomAndOtherwiseReturnsZero) {
    struct Case {
        const char* what;
        uint16_t held, heldamount;
        uint16_t item, amount;
        uint16_t returned;
    } cases[] = {
        {"room in the held stack", GRASS, 5, GRASS, 3, 8},
        {"the held stack is full", GRASS, 9999, GRASS, 1, 0},
        {"the held stack lacks room for all", GRASS, 9998, GRASS, 2, 0},
        {"a drop", SWORD, 3, SLIMEDROP, 1, 0},
        {"a tool", SWORD, 3, SWORD, 100, 0},
        {"a block nobody holds", SWORD, 3, DIRT, 1, 0},
    };
    for (const Case& c : cases) {
        NewPlayer();
        FillAllBut({});
        Put({0, 5}, c.held, c.heldamount);
        const Snapshot before;
        EXPECT_EQ(AddItem(c.item, c.amount), c.returned) << c.what;
        if (c.returned == 0) {
            EXPECT_TRUE(before.Same()) << c.what;
        } else {
            EXPECT_EQ(At({0, 5}), std::make_pair(c.item, c.returned)) << c.what;
        }
    }
}

// ---------------------------------------------------------------- SwapSlots

TEST_F(InventoryTest, SwapsExchangeCellsAndSoundOnlyWhenSomethingChanges) {
    struct Case {
        const char* what;
        uint16_t item1, amount1, item2, amount2;
        bool sound;
    } cases[] = {
        {"two empty cells", 0, 0, 0, 0, false},
        {"two identical stacks", GRASS, 40, GRASS, 40, false},
        {"two identical tools", SWORD, 100, SWORD, 100, false},
        {"same item, other amount", GRASS, 40, GRASS, 41, true},
        {"other item, same amount", GRASS, 40, DIRT, 40, true},
        {"an item into an empty cell", SWORD, 100, 0, 0, true},
        {"an empty cell onto an item", 0, 0, PICKAXE, 200, true},
        {"a drop for a block", SCORPIONDROP, 1, STONE, 9999, true},
    };
    for (const Case& c : cases) {
        NewPlayer();
        headless::ClearSounds();
        Put({0, 5}, c.item1, c.amount1);
        Put({3, 2}, c.item2, c.amount2);
        Put({4, 4}, DIRT, 7);  // a bystander
        SwapSlots(0, 5, 3, 2);
        EXPECT_EQ(At({0, 5}), std::make_pair(c.item2, c.amount2)) << c.what;
        EXPECT_EQ(At({3, 2}), std::make_pair(c.item1, c.amount1)) << c.what;
        EXPECT_EQ(At({4, 4}), std::make_pair(DIRT, (uint16_t)7)) << c.what;
        EXPECT_EQ(headless::SoundsPlayed(), c.sound ? std::vector<std::string>{SWAP} : std::vector<std::string>{})
            << c.what;
    }
}

TEST_F(InventoryTest, SwappingACellWithItselfOrOutsideTheGridDoesNothing) {
    Put({2, 2}, SWORD, 5);
    Put({0, 5}, GRASS, 3);
    const Snapshot before;
    SwapSlots(2, 2, 2, 2);
    SwapSlots(5, 0, 0, 5);
    SwapSlots(0, 5, 0, 6);
    SwapSlots(255, 255, 2, 2);
    EXPECT_TRUE(before.Same());
    EXPECT_TRUE(headless::SoundsPlayed().empty());
    SwapSlots(0, 5, 2, 2);  // and both directions of a real one
    EXPECT_EQ(At({0, 5}), std::make_pair(SWORD, (uint16_t)5));
    SwapSlots(2, 2, 0, 5);
    EXPECT_TRUE(before.Same());
    EXPECT_EQ(headless::SoundsPlayed(), (std::vector<std::string>{SWAP, SWAP}));
}

// ---------------------------------------------------------------- WearHeld

TEST_F(InventoryTest, WearingTakesUsesFromTheHeldItemAndEmptiesItAtZero) {
    struct Case {
        const char* what;
        uint16_t item, amount, uses;
        uint16_t item2, amount2;  // the held cell afterwards
    } cases[] = {
        {"a sword with one use left", SWORD, 1, 1, 0, 0},
        {"a sword with five", SWORD, 5, 1, SWORD, 4},
        {"a pickaxe with two", PICKAXE, 2, 1, PICKAXE, 1},
        {"the bare hand never wears", 0, 0, 1, 0, 0},
        {"no uses, no wear", SHOVEL, 3, 0, SHOVEL, 3},
        {"three uses from two left: empty, no wrap", AXE, 2, 3, 0, 0},
        {"all uses at once", SWORD, 100, 100, 0, 0},
        {"a full stack of uses", SHOVEL, 65535, 65535, 0, 0},
        {"a held block wears as well", STONE, 3, 1, STONE, 2},
        {"a tool already at 0 uses empties", SWORD, 0, 1, 0, 0},
    };
    for (const Case& c : cases) {
        NewPlayer();
        FillAllBut({});
        Put({0, 5}, c.item, c.amount);
        const Snapshot before;
        WearHeld(c.uses);
        EXPECT_EQ(At({0, 5}), std::make_pair(c.item2, c.amount2)) << c.what;
        const Place changed = Changed(before);
        EXPECT_TRUE(changed == Place(0, 5) || before.Same()) << c.what;  // only the held cell
    }
    EXPECT_TRUE(headless::SoundsPlayed().empty());
}

// ---------------------------------------------------------------- lookups

TEST_F(InventoryTest, LookupsAsPartFourSixOutlinesThem) {
    struct Case {
        uint16_t item;
        int32_t weapon;
        uint16_t stack;
        float value;
    } cases[] = {
        {0, 1, 0, 0},        {GRASS, 0, 9999, 4}, {DIRT, 0, 9999, 2},    {STONE, 0, 9999, 10}, {7, 0, 9999, 0},
        {11, 0, 9999, 9},    {12, 0, 9999, 0},    {255, 0, 9999, 0},     {SWORD, 2, 0, 5},     {SHOVEL, 0, 0, 0.5f},
        {AXE, 0, 0, 0.75f},  {PICKAXE, 0, 0, 1.25f}, {260, 0, 0, 0},     {SLIMEDROP, 0, 1, 40}, {BIGDROP, 0, 1, 200},
        {SCORPIONDROP, 0, 1, 400}, {275, 0, 0, 0}, {511, 0, 0, 0},       {512, 0, 0, 0},       {65535, 0, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WeaponPower(c.item), c.weapon) << c.item;
        EXPECT_EQ(StackLimit(c.item), c.stack) << c.item;
        EXPECT_EQ(ItemValue(c.item), c.value) << c.item;
    }
}
