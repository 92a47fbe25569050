// The player's keys in an area, through the encounter's update step:
// walking, looking, the jump buffer, jump heights, digging and placing.
#include "area_fixture.h"
#include "areas/encounter.h"
#include "areas/npc.h"
#include "creatures/items.h"

namespace {
class ControlTest : public AreaTest {
protected:
    void SetUp() override {
        AreaTest::SetUp();
        FlatArea(64, 32);  // surface at pixel 256
        Stand(p, 192);     // on tile 12, the tile ahead free of the body
        p.f = 1;
        p.HP = 3;
    }
    // One update step of the encounter, entered from the west.
    void Step() {
        EncounterStep s(p, encounters::claimed, 0);
        s.Run();
    }
    entity p;
};
}  // namespace

TEST_F(ControlTest, WalkingTopsOutAroundSixPixelsAStepAndLookingCapsIt) {
    Hold(KEY_RIGHT);
    int most = 0;
    for (int i = 0; i < 60; ++i) {
        Step();
        most = std::max(most, p.xv);
        if (i > 40) {
            EXPECT_GE(p.xv, 57);
            EXPECT_LE(p.xv, 61);
        }
    }
    EXPECT_LE(most, 61);
    EXPECT_EQ(p.f, 1);
    for (int key : {KEY_UP, KEY_S}) {
        Hold(key);
        Step();
        EXPECT_LE(p.xv, 25);
        EXPECT_EQ(lookdir, key == KEY_UP ? 1 : 2);
        Release(key);
    }
}

TEST_F(ControlTest, AJumpPressedInTheAirCountsForALandingWithinFourSteps) {
    // A dry run finds the step in which a drop lands.
    auto drop = [&] {
        Stand(p, 200);
        p.y -= 40;
        p.onground = 0, p.yv = 0;
        jumpbuf = 0;
    };
    drop();
    int land = 0;
    for (int step = 1; !land && step < 60; ++step) {
        Step();
        if (p.onground) land = step;
    }
    ASSERT_GT(land, 5);
    for (int early = 0; early <= 5; ++early) {
        drop();
        headless::ClearSounds();
        bool jumped = false;
        for (int step = 1; step <= land + 1; ++step) {
            if (step == land - early) Hold(KEY_X);
            Step();
            if (step == land - early) Release(KEY_X);
            if (step == land + 1) jumped = p.yv < 0 && !p.onground;
        }
        EXPECT_EQ(jumped, early <= 4) << early;
        EXPECT_EQ(Played("sfx\\jump.wav"), early <= 4 ? 1 : 0) << early;
    }
}

TEST_F(ControlTest, AJumpRisesSixteenPixelsOrFortyThreeWithTheKeyHeld) {
    for (bool holding : {false, true}) {
        Stand(p, 200);
        p.yv = 0;
        jumpbuf = 0;
        const int ground = p.y;
        int top = ground;
        Hold(KEY_X);
        for (int step = 0; step < 60; ++step) {
            Step();
            if (step == 0 && !holding) Release(KEY_X);
            top = std::min(top, p.y);
        }
        Release(KEY_X);
        EXPECT_EQ(ground - top, holding ? 43 : 16);
        EXPECT_EQ(p.y, ground);
    }
}

TEST_F(ControlTest, AJumpUnderACeilingIsRefused) {
    areatiles[ToTile(p.x + 1)][ToTile(p.y - 1)] = blocks::stone;
    Hold(KEY_X);
    for (int i = 0; i < 8; ++i) Step();
    EXPECT_EQ(Played("sfx\\jump.wav"), 0);
    EXPECT_EQ(jumpbuf, 1);  // spent; the key must be let go
}

TEST_F(ControlTest, SwingsNeededPerBlockAndTool) {
    struct Case {
        uint8_t block;
        uint16_t tool, uses;
        int swings;
        uint16_t usesleft;
    } cases[] = {
        {blocks::dirt, 0, 0, 2, 0},
        {blocks::stone, 259, 10, 2, 8},   // pickaxe
        {blocks::grass, 257, 10, 2, 8},   // shovel
        {blocks::wood, 258, 10, 4, 6},    // axe, 12 / 3
        {blocks::bedrock, 0, 0, 0, 0},    // never breaks
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (int)c.block << " with " << c.tool);
        FlatArea(64, 32);
        Stand(p, 192);
        p.swinging = 0;
        for (auto& col : invitem) std::fill(std::begin(col), std::end(col), 0);
        for (auto& col : invamt) std::fill(std::begin(col), std::end(col), 0);
        invitem[0][5] = c.tool, invamt[0][5] = c.uses;
        const int tx = ToTile(p.x + 7) + 1, ty = ToTile(p.y + 7);
        areatiles[tx][ty] = c.block;
        int swings = 0;
        for (int i = 0; i < 8 && areatiles[tx][ty] != blocks::air; ++i) {
            Hold(KEY_Z);
            Step();
            ++swings;
            Release(KEY_Z);
            for (int k = 0; k < 9; ++k) Step();
        }
        EXPECT_EQ(areatiles[tx][ty] == blocks::air ? swings : 0, c.swings);
        if (c.swings) {
            EXPECT_EQ(areadamage[tx][ty], 0);
            EXPECT_EQ(invitem[1][0] == c.block || invitem[0][0] == c.block, true);
            EXPECT_EQ(invamt[0][5], c.usesleft);
            // Only solid blocks count against Blockless; wood is scenery.
            EXPECT_EQ(blockless, BlockSolid(c.block) ? 0 : 1);
        }
        blockless = 1;
    }
}

TEST_F(ControlTest, PlacingTheLastBlockEmptiesTheHand) {
    invitem[0][5] = blocks::dirt, invamt[0][5] = 1;
    Hold(KEY_Z);
    Step();
    EXPECT_EQ(areatiles[ToTile(p.x + 7) + 1][ToTile(p.y + 7)], blocks::dirt);
    EXPECT_EQ(invitem[0][5], 0);
    EXPECT_EQ(invamt[0][5], 0);
    EXPECT_EQ(blockless, 0);
    EXPECT_EQ(Played("sfx\\place.wav"), 1);
}

TEST_F(ControlTest, ABushNeedsGroundAndGoesWithIt) {
    const int tx = ToTile(p.x + 7) + 1, ty = ToTile(p.y + 7);
    invitem[0][5] = blocks::bush, invamt[0][5] = 5;
    areatiles[tx][ty + 1] = blocks::air;
    Hold(KEY_Z);
    Step();
    EXPECT_EQ(areatiles[tx][ty], blocks::air);
    EXPECT_EQ(invamt[0][5], 5);
    areatiles[tx][ty + 1] = blocks::dirt;
    Step();
    EXPECT_EQ(areatiles[tx][ty], blocks::bush);
    EXPECT_EQ(invamt[0][5], 4);
    EXPECT_EQ(blockless, 1);  // a bush is no solid block
    // Breaking the ground under it takes the bush too, for nothing.
    Release(KEY_Z);
    Step();
    invitem[0][5] = 0, invamt[0][5] = 0;
    areadamage[tx][ty + 1] = 1;
    p.x = tx * 16;  // standing in the bush
    Hold(KEY_DOWN);
    Hold(KEY_Z);
    Step();
    EXPECT_EQ(areatiles[tx][ty + 1], blocks::air);
    EXPECT_EQ(areatiles[tx][ty], blocks::air);
    EXPECT_EQ(invitem[0][0], blocks::dirt);
    EXPECT_EQ(invitem[1][0], 0);
}

TEST_F(ControlTest, InAVillageTheActionKeyOnlyTalks) {
    encountertype[0][0] = encounters::village;
    const int tx = ToTile(p.x + 7) + 1, ty = ToTile(p.y + 7);
    areatiles[tx][ty] = blocks::dirt;
    NPC* far = npcs.AddLast(new NPC);
    far->x = p.x - 30, far->y = p.y;
    NPC* near = npcs.AddLast(new NPC);
    near->x = p.x - 20, near->y = p.y;
    testing::internal::CaptureStdout();
    Hold(KEY_Z);
    Step();
    EXPECT_EQ(near->speaking, 240);
    EXPECT_EQ(far->speaking, 0);
    EXPECT_EQ(areadamage[tx][ty], 0);
    // Held, it does not talk again; pressed again, a speaking villager
    // keeps counting down.
    for (int i = 0; i < 3; ++i) Step();
    Release(KEY_Z);
    Step();
    near->speaking = 100;
    Hold(KEY_Z);
    Step();

    EXPECT_EQ(near->speaking, 100);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "spoke with type: 0\nspoke with type: 0\n");
    // Its bubble shows as long as it speaks.
    camx = p.x, camy = p.y;
    p.DrawView();
    EXPECT_EQ(near->speaking, 99);
    encountertype[0][0] = encounters::wild;
}

TEST_F(ControlTest, SpaceHeldSwapsQuickSlotsAndStopsWalking) {
    invitem[0][5] = 256, invamt[0][5] = 40;
    invitem[1][5] = blocks::dirt, invamt[1][5] = 7;
    Hold(KEY_SPACE);
    Hold(KEY_RIGHT);
    // Presses made before the mode began are dropped.
    headless::Tap(KEY_UP);
    Step();
    EXPECT_EQ(swapmode, 1);
    EXPECT_EQ(invitem[0][5], 256);
    headless::Tap(KEY_UP);
    Step();
    EXPECT_EQ(invitem[0][5], blocks::dirt);
    EXPECT_EQ(invamt[0][5], 7);
    EXPECT_EQ(invitem[1][5], 256);
    EXPECT_EQ(p.xv, 0);  // no walking while swapping
    EXPECT_EQ(Played("sfx\\hotbar.wav"), 1);
    Release(KEY_SPACE);
    Step();
    EXPECT_EQ(swapmode, 0);
    EXPECT_GT(p.xv, 0);
}

TEST_F(ControlTest, PushingBackTowardTheEntryLosesNoTurningBack) {
    struct Case {
        uint8_t fromeast;
        int key;
        uint8_t kept;
    } cases[] = {{0, KEY_LEFT, 0}, {0, KEY_RIGHT, 1}, {1, KEY_RIGHT, 0}, {1, KEY_A, 1}};
    for (const Case& c : cases) {
        noturning = 1;
        Hold(c.key);
        EncounterStep s(p, encounters::wild, c.fromeast);
        s.Run();
        Release(c.key);
        s.Run();
        EXPECT_EQ(noturning, c.kept) << (int)c.fromeast << " " << c.key;
    }
}
