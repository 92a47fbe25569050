// The shop, the collector and the inventory screen, driven through their
// own loops over a small area.
#include "area_fixture.h"
#include "areas/npc.h"
#include "areas/trade.h"
#include "creatures/items.h"
#include "engine/keys.h"
#include "base/base.h"

namespace {
const std::string MENU = "sfx\\menu.wav", NOPE = "sfx\\nope.wav", RAREDROP = "sfx\\raredrop.wav",
                  MONEY = "sfx\\moneyget.wav", DISCARD = "sfx\\discard.wav", INVENTORY = "sfx\\inventory.wav";

class TradeTest : public AreaTest {
protected:
    void SetUp() override {
        AreaTest::SetUp();
        FlatArea(64, 24);
        Stand(player, 200);
        player.f = 1;
    }
    // A fresh machine and step clock.
    static void Fresh() {
        headless::Reset();
        headless::SetFlipLimit(2000);
        lasttime = 0;
        accum = 0;
    }
    // Taps the keys two frames apart from frame 2, then the closing key.
    static void Script(const std::vector<int>& keys, int close = KEY_Z) {
        Fresh();
        int frame = 2;
        for (int k : keys) {
            headless::At(frame, [k] { headless::KeyDown(k); });
            headless::At(frame + 1, [k] { headless::KeyUp(k); });
            frame += 2;
        }
        headless::At(frame + 2, [close] { headless::Tap(close); });
    }
    static void Fill(uint16_t item) {
        for (int c = 0; c < INVCOLS; ++c)
            for (int r = 0; r < INVROWS; ++r) {
                invitem[c][r] = item;
                invamt[c][r] = 1;
            }
    }
    entity player;
};
}  // namespace

TEST_F(TradeTest, TheShopSellsWhileThePlayerCanPayAndCarry) {
    NPC keeper;
    keeper.SetKind(npckinds::shopkeeper);
    // Up at the top and Down past the pickaxe do nothing and are not heard.
    gold = 600;
    Script({KEY_UP, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_W, KEY_W, KEY_W, KEY_X, KEY_P});
    keeper.Vend(player);
    EXPECT_EQ(Played(MENU), 6);
    EXPECT_EQ(invitem[0][0], 256);  // the sword, with its hundred uses, in the first free cell
    EXPECT_EQ(invamt[0][0], 100);
    EXPECT_EQ(gold, 100);
    EXPECT_EQ(Played(RAREDROP), 1);
    EXPECT_EQ(Played(NOPE), 1);  // the second sword is too dear

    // With no free cell nothing is sold and nothing charged.
    Fill(272);
    gold = 10000;
    Script({KEY_S, KEY_X});
    keeper.Vend(player);
    EXPECT_EQ(gold, 10000);
    EXPECT_EQ(Played(NOPE), 1);
}

TEST_F(TradeTest, TheCollectorBuysAnyItemForAQuarterOfItsValue) {
    NPC collector;
    collector.SetKind(npckinds::collector);
    invitem[2][2] = blocks::brick;
    invamt[2][2] = 9999;
    invitem[0][5] = 274;  // a scorpion drop in hand
    invamt[0][5] = 1;
    // Sell at the starting cell (2, 2); an empty cell is refused; then down
    // to the hotbar (the last Down against the edge still clicks) and left
    // to the held cell.
    Script({KEY_X, KEY_X, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_S, KEY_LEFT, KEY_A, KEY_A, KEY_X});
    collector.Buy(player);
    EXPECT_EQ(gold, 37496 + 100);
    EXPECT_EQ(invitem[2][2], 0);
    EXPECT_EQ(invamt[2][2], 0);
    EXPECT_EQ(invitem[0][5], 0);
    EXPECT_EQ(Played(MONEY), 2);
    EXPECT_EQ(Played(NOPE), 1);
    EXPECT_EQ(Played(MENU), 7);
}

TEST_F(TradeTest, TheInventoryScreenMovesSwapsAndThrowsAway) {
    invitem[0][5] = 257;  // a shovel in hand
    invamt[0][5] = 40;
    invitem[4][4] = blocks::stone;
    invamt[4][4] = 12;
    // Left and Up from the middle twice each and once more: the cursor wraps
    // to (4, 4); X swaps the shovel there and takes the stone in hand.
    Script({KEY_LEFT, KEY_LEFT, KEY_LEFT, KEY_UP, KEY_UP, KEY_UP, KEY_X});
    headless::Tap(KEY_ENTER);  // the press that opened it must not close it
    player.OpenInventory();
    EXPECT_EQ(invitem[4][4], 257);
    EXPECT_EQ(invamt[4][4], 40);
    EXPECT_EQ(invitem[0][5], blocks::stone);
    EXPECT_EQ(Played(INVENTORY), 1);
    EXPECT_EQ(Played(MENU), 6);
    EXPECT_EQ(invopen, 0);
    EXPECT_EQ(jumpbuf, 1);
    EXPECT_GT(headless::Flips(), 14);
}

TEST_F(TradeTest, SpaceTurnsTheArrowsToQuickSlotsAndXToTheBin) {
    invitem[2][2] = 258;  // an axe under the cursor
    invamt[2][2] = 30;
    Fresh();
    headless::At(2, [] { headless::KeyDown(KEY_SPACE); });
    headless::At(4, [] { headless::Tap(KEY_UP); });   // the axe to quick slot [1, 5]
    headless::At(6, [] { headless::Tap(KEY_X); });    // the cell is empty now: nothing to throw
    headless::At(8, [] { headless::Tap(KEY_RIGHT); });  // quick slot [2, 5] (empty) swaps with the empty cell: nothing
    headless::At(10, [] { headless::KeyUp(KEY_SPACE); });
    headless::At(12, [] { headless::Tap(KEY_X); });   // the bare hand to the cell: nothing changes
    headless::At(14, [] { headless::Tap(KEY_ESCAPE); });
    player.OpenInventory();
    EXPECT_EQ(invitem[1][5], 258);
    EXPECT_EQ(invamt[1][5], 30);
    EXPECT_EQ(invitem[2][2], 0);
    EXPECT_EQ(Played(DISCARD), 0);

    // With something under the cursor, Space and X throw it away.
    invitem[2][2] = blocks::dirt;
    invamt[2][2] = 5;
    Fresh();
    headless::At(2, [] { headless::KeyDown(KEY_SPACE); });
    headless::At(4, [] { headless::Tap(KEY_P); });
    headless::At(6, [] { headless::Tap(KEY_O); });
    player.OpenInventory();
    EXPECT_EQ(invitem[2][2], 0);
    EXPECT_EQ(invamt[2][2], 0);
    EXPECT_EQ(Played(DISCARD), 1);
}

TEST_F(TradeTest, ANeutralFacingDoesNotOpenTheInventory) {
    player.f = 2;
    headless::Reset();
    player.OpenInventory();
    EXPECT_EQ(headless::Flips(), 0);
    EXPECT_TRUE(headless::SoundsPlayed().empty());
    EXPECT_EQ(invopen, 0);
}
