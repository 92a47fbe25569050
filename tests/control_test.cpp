// The player's keys in an area, through the encounter's update step:
// walking, looking, the jump buffer, jump heights, digging and placing, and
// the creature forms with their own controls.
#include <iterator>
#include <vector>

#include "area_fixture.h"
#include "areas/encounter.h"
#include "areas/npc.h"
#include "creatures/items.h"
#include "engine/keys.h"
#include "base/base.h"

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
        headless::NextStep();
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
    // keeps counting down, one a step.
    for (int i = 0; i < 3; ++i) Step();
    EXPECT_EQ(near->speaking, 237);
    Release(KEY_Z);
    Step();
    near->speaking = 100;
    Hold(KEY_Z);
    Step();

    EXPECT_EQ(near->speaking, 99);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "spoke with type: 0\nspoke with type: 0\n");
    // Its bubble is drawn as long as it speaks, however many frames that
    // takes: drawing counts nothing down.
    camx = p.x, camy = p.y;
    for (int i = 0; i < 5; ++i) p.DrawView();
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
        headless::NextStep();
        s.Run();
        Release(c.key);
        headless::NextStep();
        s.Run();
        EXPECT_EQ(noturning, c.kept) << (int)c.fromeast << " " << c.key;
    }
}

// ---------------------------------------------------------------- creature forms

TEST_F(ControlTest, TheDigitKeysChangeTheBodyInTheMiddleOfAnEncounter) {
    // A wild tile where nothing lives, entered from the west.
    terrain[0][0] = terrains::mountain;
    struct Press {
        std::vector<int> keys;
        uint8_t form;
        int width, height;
    } presses[] = {
        {{KEY_1}, 1, 8, 8},          {{KEY_2}, 2, 12, 12}, {{KEY_3}, 3, 16, 12}, {{KEY_0}, 0, 16, 16},
        {{KEY_2, KEY_1}, 2, 12, 12},  // both in one step: the higher digit is looked at last
        {{KEY_3}, 3, 16, 12},
    };
    size_t next = 0;
    int checked = 0;
    // The wipe takes the first 21 frames; every frame after it has a step.
    headless::EveryFlip([&] {
        if (headless::Flips() < 22 || quit) return;
        ASSERT_NE(areaplayer, nullptr);
        if (next > 0) {
            const Press& was = presses[next - 1];
            EXPECT_EQ(form, was.form) << next;
            EXPECT_EQ(areaplayer->width, was.width) << next;
            EXPECT_EQ(areaplayer->height, was.height) << next;
            ++checked;
        }
        if (next == std::size(presses)) {
            quit = 1;
            return;
        }
        for (int key : presses[next].keys) headless::Tap(key);
        ++next;
    });
    testing::internal::CaptureStdout();
    RunEncounter();
    quit = 0;
    EXPECT_EQ(checked, (int)std::size(presses));

    // The next area is entered in the same body.
    FlatArea(64, 32);
    const int start = headless::Flips();
    headless::EveryFlip([] {});
    int width = 0, height = 0;
    headless::At(start + 22, [&] {
        width = areaplayer->width, height = areaplayer->height;
        quit = 1;
    });
    RunEncounter();
    quit = 0;
    Replay(testing::internal::GetCapturedStdout());
    EXPECT_EQ(form, 3);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 12);
}

TEST_F(ControlTest, SlimesStandStillAndHopSideways) {
    struct Case {
        uint8_t form;
        int accel, hop, jump;
    } cases[] = {{1, 3, 25, 50}, {2, 2, 20, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "form " << (int)c.form);
        p.CreatureChange(c.form);
        Stand(p, 192);
        p.xv = p.yv = 0;
        const int x0 = p.x, y0 = p.y;
        // On the ground a held direction only turns it.
        Hold(KEY_RIGHT);
        Step();
        EXPECT_EQ(p.f, 1);
        EXPECT_EQ(p.xv, 0);
        EXPECT_EQ(p.x, x0);
        Release(KEY_RIGHT);
        Hold(KEY_A);
        Step();
        EXPECT_EQ(p.f, 0);
        EXPECT_EQ(p.xv, 0);
        Release(KEY_A);
        // A jump press with no direction is spent for nothing.
        headless::Tap(KEY_X);
        Step();
        Hold(KEY_RIGHT);
        Step();
        EXPECT_EQ(p.onground, 1);
        EXPECT_EQ(p.y, y0);
        EXPECT_EQ(Played("sfx\\jump.wav"), 0);
        // With one it hops that way; in the air the held key steers.
        headless::Tap(KEY_P);
        Step();
        EXPECT_EQ(p.onground, 0);
        EXPECT_EQ(p.x, x0 + c.hop / 10);
        EXPECT_EQ(p.y, y0 - c.jump / 10);
        EXPECT_EQ(p.xv, c.hop - 1);       // air friction
        EXPECT_EQ(p.yv, -c.jump + 3);     // gravity
        Release(KEY_RIGHT);
        Hold(KEY_LEFT);
        Step();
        EXPECT_EQ(p.f, 0);
        EXPECT_EQ(p.xv, c.hop - 1 - c.accel - 1);
        Release(KEY_LEFT);
        for (int i = 0; i < 60; ++i) Step();
        EXPECT_EQ(p.onground, 1);
        EXPECT_EQ(p.xv, 0);
        EXPECT_EQ(p.y, y0);
        // Holding the jump key down is one press: one hop, however long.
        Hold(KEY_X);
        Hold(KEY_RIGHT);
        int hops = 0;
        for (int i = 0; i < 60; ++i) {
            const uint8_t was = p.onground;
            Step();
            hops += was && !p.onground;
        }
        Release(KEY_X);
        Release(KEY_RIGHT);
        EXPECT_EQ(hops, 1);
        EXPECT_EQ(p.onground, 1);
    }
}

TEST_F(ControlTest, TheScorpionWalksTheWayItFacesAndHopsObstacles) {
    p.CreatureChange(3);
    Stand(p, 192);
    // Facing right with nothing held: +4 a step against ground friction 3.
    for (int i = 1; i <= 10; ++i) {
        Step();
        EXPECT_EQ(p.xv, i);
    }
    for (int i = 0; i < 60; ++i) Step();
    EXPECT_GE(p.xv, 26);
    EXPECT_LE(p.xv, 29);
    EXPECT_EQ(p.f, 1);
    EXPECT_EQ(p.onground, 1);
    // Left turns it, and it walks that way.
    Stand(p, 192);
    p.xv = 0;
    Hold(KEY_LEFT);
    Step();
    Release(KEY_LEFT);
    EXPECT_EQ(p.f, 0);
    EXPECT_EQ(p.xv, -1);
    // A block in front, at its middle, makes it hop by itself.
    struct Case {
        bool block;
        int key;
        int yv;
    } cases[] = {{false, 0, 0}, {true, 0, -35 + 3}, {false, KEY_X, -55 + 3}, {false, KEY_P, -55 + 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.block << " " << c.key);
        FlatArea(64, 32);
        Stand(p, 192);
        p.f = 1, p.xv = 0, p.yv = 0;
        if (c.block) areatiles[ToTile(p.x + 16)][ToTile(p.y + 8)] = blocks::stone;
        if (c.key) headless::Tap(c.key);
        Step();
        EXPECT_EQ(p.yv, c.yv);
        EXPECT_EQ(p.onground, c.yv == 0 ? 1 : 0);
    }
}

TEST_F(ControlTest, ACreatureCannotActSwapLookOrOpenTheBag) {
    headless::SetFlipLimit(100);  // a bag opened by mistake would never close
    invitem[0][5] = 0;            // the bare hand digs dirt in human form
    invitem[1][5] = blocks::stone, invamt[1][5] = 4;
    for (uint8_t f : {1, 2, 3}) {
        SCOPED_TRACE(testing::Message() << "form " << (int)f);
        FlatArea(64, 32);
        p.CreatureChange(f);
        Stand(p, 192);
        p.f = 1, p.xv = 0, p.swinging = 0;
        const int tx = ToTile(p.x + 7), ty = ToTile(p.y + 7) - 1;  // where Up aims
        areatiles[tx][ty] = blocks::dirt;
        jumpbuf = 5, facelock = 10, lookdir = 0, noturning = 1;
        headless::ClearSounds();
        Hold(KEY_Z);
        Hold(KEY_UP);
        Hold(KEY_SPACE);
        Hold(KEY_LEFT);  // toward the side it came in by
        headless::Tap(KEY_ENTER);
        EncounterStep s(p, encounters::wild, 0);
        for (int i = 0; i < 3; ++i) s.Run();
        for (int key : {KEY_Z, KEY_UP, KEY_SPACE, KEY_LEFT}) Release(key);
        EXPECT_EQ(p.swinging, 0);
        EXPECT_EQ(areadamage[tx][ty], 0);
        EXPECT_EQ(swapmode, 0);
        EXPECT_EQ(invitem[0][5], 0);
        EXPECT_EQ(lookdir, 0);
        EXPECT_EQ(jumpbuf, 5);
        EXPECT_EQ(facelock, 7);  // only the encounter's count down
        EXPECT_EQ(noturning, 1);
        EXPECT_EQ(invopen, 0);
        EXPECT_TRUE(headless::SoundsPlayed().empty());
    }
}
