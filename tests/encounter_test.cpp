// Whole encounters through the real loop: who is placed where, contact and
// armour, the ways out and what they do to the overworld, the score.
#include <cstdlib>

#include "area_fixture.h"
#include "areas/encounter.h"
#include "areas/enemy.h"
#include "engine/keys.h"
#include "base/base.h"

namespace {
class EncounterTest : public AreaTest {
protected:
    void SetUp() override {
        AreaTest::SetUp();
        marker.x = marker.y = 100;
        homex = homey = 50;
        terrain[homex][homey] = terrains::home;
        encountertype[homex][homey] = encounters::home;
        headless::SetFlipLimit(5000);
    }
    // The tile under the marker, its area made as the overworld makes it.
    static void Tile(uint8_t t, uint8_t enc, int w, int h, uint8_t facing = 1) {
        terrain[100][100] = t;
        encountertype[100][100] = enc;
        marker.f = facing;
        temparea = enc == encounters::wild || enc == encounters::cleared;
        GenerateArea(100, 100, w, h);
    }
    static uint8_t Run() {
        testing::internal::CaptureStdout();
        const uint8_t r = RunEncounter();
        out = testing::internal::GetCapturedStdout();
        return r;
    }
    static inline std::string out;
};
}  // namespace

TEST_F(EncounterTest, EnemiesByTerrainAndPlaceNoneNearThePlayer) {
    struct Case {
        uint8_t terrain, enc;
        int w, h;
        size_t count;
    } cases[] = {
        {terrains::plains, encounters::wild, 128, 24, 16},
        {terrains::forest, encounters::wild, 128, 24, 8},
        {terrains::desert, encounters::wild, 128, 24, 8},
        {terrains::plains, encounters::claimed, 256, 256, 16},
        {terrains::desert, encounters::claimed, 256, 256, 8},
        {terrains::plains, encounters::cleared, 32, 64, 4},  // the narrowest place with enemies
        {terrains::plains, encounters::home, 32, 32, 0},
        {terrains::forest, encounters::village, 128, 64, 0},
        {terrains::mountain, encounters::cleared, 128, 64, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (int)c.terrain << "/" << (int)c.enc << " " << c.w);
        headless::Reset();
        headless::SetFlipLimit(5000);
        Tile(c.terrain, c.enc, c.w, c.h);
        size_t seen = 99;
        headless::At(headless::Flips() + 1, [&] {  // the first frame after the notices
            seen = enemies.Count();
            enemies.ForEach([&](TEnemy* e) {
                EXPECT_GT(std::abs(e->x - camx), 240);
                EXPECT_GE(e->x, 0);
                EXPECT_LE(e->x, c.w * 16 - e->width);
            });
        });
        quit = 1;  // one frame after the wipe
        Run();
        quit = 0;
        EXPECT_EQ(seen, c.count);
        EXPECT_EQ(enemies.Count(), 0u);
        EXPECT_EQ(temparea, 0);
    }
}

TEST_F(EncounterTest, ContactWithAndWithoutArmour) {
    struct Case {
        uint8_t atk, ap;
        int wantap, wanthp;
        int aplose, oof;
    } cases[] = {
        {1, 3, 2, 3, 1, 0},  // armour takes it all
        {2, 2, 0, 3, 1, 0},  // exactly all the armour
        {4, 1, 0, 1, 1, 1},  // armour that took part keeps the last heart
        {2, 0, 0, 1, 0, 1},
        {4, 0, 0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ATK " << (int)c.atk << " AP " << (int)c.ap);
        headless::ClearSounds();
        textleaps.Clear();
        FlatArea(64, 32);
        entity p;
        Stand(p, 300);
        p.HP = 3;
        AP = c.ap;
        maxAP = 3;
        untouched = 1;
        TEnemy* e = enemies.AddLast(new TEnemy);
        e->SetKind(enemykinds::slime);
        e->ATK = c.atk;
        e->x = p.x + 4, e->y = p.y + 8;
        EncounterStep step(p, encounters::claimed, 0);
        step.Run();
        EXPECT_EQ(AP, c.wantap);
        EXPECT_EQ(p.HP, c.wanthp);
        EXPECT_EQ(p.invinced, 30);
        EXPECT_EQ(e->scathed, 1);
        EXPECT_EQ(untouched, 0);
        EXPECT_EQ(Played("sfx\\aplose.wav"), c.aplose);
        EXPECT_EQ(Played("sfx\\oof.wav"), c.oof);
        ASSERT_EQ(textleaps.Count(), 2u);
        EXPECT_EQ(textleaps.At(0)->str.size(), 3u);
        EXPECT_EQ(textleaps.At(1)->str, std::string(c.wanthp, '\x02') + std::string(3 - c.wanthp, '\x04'));
        // Invincible now: the next touch does nothing.
        step.Run();
        EXPECT_EQ(p.HP, c.wanthp);
        enemies.Clear();
    }
}

TEST_F(EncounterTest, AWildWinPaysTheBonusTotal) {
    struct Case {
        uint8_t terrain;
        bool perfect;
        int exp;
        bool screen;
    } cases[] = {
        {terrains::desert, true, 144, true},
        {terrains::plains, true, 48, true},
        {terrains::desert, false, 3, false},
        {terrains::forest, false, 2, false},
        {terrains::plains, false, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (int)c.terrain << (c.perfect ? " perfect" : " plain"));
        headless::Reset();
        headless::SetFlipLimit(5000);
        player::exp = 0;
        Tile(c.terrain, encounters::wild, 32, 24);
        FlatArea(32, 24);  // nothing to climb on the way across
        terrain[99][100] = terrains::water;  // a shore to be seen from the tile
        headless::At(2, [&] {  // after the area's notice
            // Every enemy gone, or one left far off and every bonus lost.
            enemies.Clear();
            if (!c.perfect) {
                TEnemy* e = enemies.AddLast(new TEnemy);
                e->SetKind(enemykinds::slime);
                e->y = -5000;
            }
        });
        if (!c.perfect) headless::At(30, [] { untouched = noturning = blockless = 0; });
        headless::At(22, [] { headless::KeyDown(KEY_RIGHT); });
        headless::EveryFlip([] {
            if (headless::Flips() > 30) headless::Tap(KEY_O);  // closes the bonus screen
        });
        EXPECT_EQ(Run(), 1);
        headless::KeyUp(KEY_RIGHT);
        EXPECT_EQ(player::exp, c.exp);
        EXPECT_EQ(encountertype[100][100], encounters::cleared);
        EXPECT_EQ(encountertype[99][100], encounters::cleared);
        EXPECT_EQ(marker.moving, 8);
        EXPECT_EQ(justleft, 1);
        EXPECT_EQ(Played("sfx\\bonus.wav"), c.screen ? 1 : 0);
        EXPECT_EQ(out, "entering encounter type: 0\nleaving encounter type: 0\n");
        justleft = 0;
        marker.moving = 0;
        encountertype[99][100] = encounters::wild;
    }
}

TEST_F(EncounterTest, TheBonusScreenShowsKeptBonusesInColourAndLostOnesGrey) {
    untouched = 1, noturning = 0, blockless = 1;
    headless::At(1, [] {
        // "Blockless! *2" in green, "No turning back! *2" grey, at their rows.
        auto rowcolour = [](int y) {
            for (int x = 190; x < 290; ++x)
                if (uint32_t px = headless::Pixel(x, y + 1); px != 0) return px;
            return 0u;
        };
        EXPECT_EQ(rowcolour(64), 0x80FF80u);
        EXPECT_EQ(rowcolour(80), 0x808080u);
        EXPECT_EQ(rowcolour(96), 0x8080FFu);
        EXPECT_EQ(rowcolour(112), 0x808080u);
        EXPECT_EQ(rowcolour(144), 0xFFFFFFu);
        headless::Tap(KEY_Z);
    });
    BonusScreen(12, 0);
    EXPECT_EQ(headless::Flips(), 1);
}

TEST_F(EncounterTest, RetreatingStepsTheMarkerBackWithoutReward) {
    struct Case {
        uint8_t facing;
        int key;
        int wantx, wanty, wantf;
        uint8_t result;
    } cases[] = {
        {1, KEY_LEFT, 99, 100, 3, 0},   // came in moving right: back out to the left
        {0, KEY_LEFT, 100, 101, 2, 0},  // came up: back down
        {3, KEY_RIGHT, 101, 100, 1, 1},
        {2, KEY_RIGHT, 100, 99, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((int)c.facing);
        headless::Reset();
        headless::SetFlipLimit(5000);
        marker.x = marker.y = 100;
        Tile(terrains::plains, encounters::wild, 128, 24, c.facing);
        headless::At(21, [&] { headless::KeyDown(c.key); });
        EXPECT_EQ(Run(), c.result);
        headless::KeyUp(c.key);
        EXPECT_EQ(marker.x, c.wantx);
        EXPECT_EQ(marker.y, c.wanty);
        EXPECT_EQ(marker.f, c.wantf);
        EXPECT_EQ(marker.moving, 8);
        EXPECT_EQ(justleft, 0);
        EXPECT_EQ(encountertype[100][100], encounters::wild);
        EXPECT_EQ(player::exp, 0);
    }
}

TEST_F(EncounterTest, EscapeGoesHomeOnlyFromWildAndClaimedLand) {
    struct Case {
        uint8_t enc;
        bool home;
    } cases[] = {
        {encounters::wild, true},     {encounters::claimed, true}, {encounters::cleared, false},
        {encounters::home, false},    {encounters::village, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((int)c.enc);
        headless::Reset();
        headless::SetFlipLimit(5000);
        marker.x = marker.y = 100;
        justleft = 0;
        Tile(terrains::plains, c.enc, 128, 24);
        headless::At(23, [] { headless::KeyDown(KEY_ESCAPE); });
        Run();
        headless::KeyUp(KEY_ESCAPE);
        EXPECT_EQ(marker.x, c.home ? homex : 100);
        EXPECT_EQ(marker.moving, 0);
        // Left pending, the press becomes the overworld's own Escape.
        EXPECT_EQ(KeyPressed(KEY_ESCAPE) > 0, !c.home);
        EXPECT_EQ(encountertype[100][100], c.enc);
    }
}

TEST_F(EncounterTest, EscapeThatClosesTheBagDoesNotAlsoLeaveTheArea) {
    // An ordinary tap of Escape is down for about 100 ms; a player may also
    // keep it down. Either way the bag closes and the area stays, until a
    // second Escape leaves it (from wild land, for home).
    for (int held : {6, 200}) {
        SCOPED_TRACE(held);
        headless::Reset();
        lasttime = 0;  // the step clock starts again with the machine's
        accum = 0;
        marker.x = marker.y = 100;
        Tile(terrains::plains, encounters::wild, 128, 24);
        headless::At(30, [] { headless::Tap(KEY_ENTER); });
        bool bagopen = false, stayed = true;
        headless::At(38, [&] { bagopen = invopen == 1; });
        headless::At(40, [] { headless::KeyDown(KEY_ESCAPE); });
        headless::At(40 + held, [] { headless::KeyUp(KEY_ESCAPE); });
        const int again = 60 + held;
        headless::EveryFlip([&] {
            if (headless::Flips() > 42 && headless::Flips() < again) stayed = stayed && areaplayer && invopen == 0;
        });
        headless::At(again, [] { headless::KeyDown(KEY_ESCAPE); });
        headless::SetFlipLimit(again + 100);
        Run();
        headless::KeyUp(KEY_ESCAPE);
        EXPECT_TRUE(bagopen);
        EXPECT_TRUE(stayed);
        EXPECT_GE(headless::Flips(), again);
        EXPECT_EQ(marker.x, homex);
        EXPECT_EQ(player::exp, 0);
    }
}

TEST_F(EncounterTest, EscapeHeldAfterItsPressWasSpentIsNoWin) {
    Tile(terrains::plains, encounters::wild, 128, 24);
    headless::At(23, [] {
        // As when Escape closes the bag: the press is taken (in a pass of
        // the bag's), the key still down.
        headless::KeyDown(KEY_ESCAPE);
        headless::NextPass();
        KeyPressed(KEY_ESCAPE);
    });
    Run();
    headless::KeyUp(KEY_ESCAPE);
    EXPECT_EQ(player::exp, 0);
    EXPECT_EQ(encountertype[100][100], encounters::wild);
    EXPECT_EQ(marker.x, 100);
    EXPECT_EQ(Played("sfx\\bonus.wav"), 0);
}

TEST_F(EncounterTest, ARevisitIsClaimedTheStepAfterItsLastEnemyDies) {
    Tile(terrains::plains, encounters::cleared, 64, 24);
    int diedat = 0;
    headless::At(21, [&] {
        // All but one gone; that one falls where the player stands.
        while (enemies.Count() > 1) enemies.Remove(enemies.At(0));
        TEnemy* e = enemies.At(0);
        e->x = camx, e->y = camy, e->HP = 0;
        diedat = headless::Flips();
    });
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(encountertype[100][100], encounters::claimed);
    // The step in which it died still counted it; the next one claims.
    EXPECT_EQ(Played("sfx\\vanquish.wav"), 1);
    // One frame with it dying, none after; the wipe out shows its first
    // frame before a step is due again.
    EXPECT_EQ(headless::Flips(), diedat + 1 + 21);
    EXPECT_EQ(marker.moving, 0);
    EXPECT_EQ(justleft, 0);
}

TEST_F(EncounterTest, ARevisitWithNobodyInItIsClaimedAtOnce) {
    Tile(terrains::mountain, encounters::cleared, 128, 64);
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(encountertype[100][100], encounters::claimed);
    // The notice, the wipe in, the wipe out (with its step-less first frame):
    // no frame of the area between.
    EXPECT_EQ(headless::Flips(), 1 + 20 + 21);
}

TEST_F(EncounterTest, DeathTakesGoldAndBagAndStartsAgainAtHome) {
    gold = 500;
    player::exp = 40;
    for (int c = 0; c < INVCOLS; ++c)
        for (int r = 0; r < INVROWS; ++r) invitem[c][r] = 3, invamt[c][r] = 9;
    Tile(terrains::desert, encounters::wild, 128, 24);
    headless::At(21, [] {
        TEnemy* e = enemies.At(0);
        e->x = camx, e->y = camy, e->ATK = 50;
    });
    headless::At(400, [] { headless::RequestClose(); });
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(gold, 0);
    for (int c = 0; c < INVCOLS; ++c)
        for (int r = 0; r < INVROWS; ++r) EXPECT_EQ(invitem[c][r] | invamt[c][r], 0);
    EXPECT_EQ(player::exp, 40);
    EXPECT_EQ(maxHP, 3);
    EXPECT_EQ(marker.x, homex);
    EXPECT_EQ(marker.y, homey);
    EXPECT_EQ(marker.moving, 0);
    EXPECT_EQ(justleft, 0) << "the next tile stepped onto would pass without its encounter";
    EXPECT_EQ(encountertype[100][100], encounters::wild);
    EXPECT_EQ(areawidth, 32);
    EXPECT_EQ(Played("sfx\\death.wav"), 1);
    EXPECT_EQ(Played("sfx\\death2.wav"), 1);
    EXPECT_EQ(out, "entering encounter type: 0\nentering encounter type: 3\nleaving encounter type: 3\n");
}
