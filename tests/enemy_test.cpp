// Enemies: their kinds, their hops, and what their deaths give.
#include "area_fixture.h"
#include "areas/enemy.h"
#include "base/base.h"

namespace {
class EnemyTest : public AreaTest {
protected:
    void SetUp() override {
        AreaTest::SetUp();
        FlatArea(64, 32);
        marker.x = marker.y = 100;
        terrain[100][100] = terrains::desert;  // tier 3
    }
    static std::vector<std::string> Texts() {
        std::vector<std::string> v;
        textleaps.ForEach([&](textleap* t) { v.push_back(t->str); });
        return v;
    }
};
}  // namespace

TEST_F(EnemyTest, SetKindGivesShapeAndStats) {
    struct Case {
        uint8_t kind;
        int w, h, hp, atk;
    } cases[] = {{0, 8, 8, 2, 1}, {1, 12, 12, 4, 2}, {2, 16, 12, 6, 4}, {7, 16, 16, 5, 0}};
    for (const Case& c : cases) {
        TEnemy e;
        e.SetKind(c.kind);
        EXPECT_EQ(e.kind, c.kind);
        EXPECT_EQ(e.width, c.w);
        EXPECT_EQ(e.height, c.h);
        EXPECT_EQ(e.HP, c.hp);
        EXPECT_EQ(e.ATK, c.atk);
        if (c.kind < 2) {
            EXPECT_GE(e.r + e.g + e.b, 400);
        }
        if (c.kind == 2) {
            EXPECT_EQ(e.b, 128);
        }
    }
}

TEST_F(EnemyTest, ASlimeNearThePlayerHopsAtOnceThenWaits) {
    TEnemy e;
    e.SetKind(enemykinds::slime);
    Stand(e, 300);
    e.Act(340, e.y, 0, 0);
    EXPECT_EQ(e.yv, -50);
    EXPECT_EQ(e.xv, 25 + 2 + 1);
    EXPECT_EQ(e.cooldown, 90);
    // Far away on the ground it only counts down and stands.
    TEnemy far;
    far.SetKind(enemykinds::slime);
    Stand(far, 300);
    far.cooldown = 5;
    far.Act(1000, far.y, 0, 0);
    EXPECT_EQ(far.cooldown, 4);
    EXPECT_EQ(far.xv, 0);
}

TEST_F(EnemyTest, AScorpionJumpsTheBlockAheadOnly) {
    struct Case {
        uint8_t f;
        int blockx;
        bool jumps;
    } cases[] = {{1, 20, true}, {1, 19, false}, {0, 19, true}, {0, 18, false}};
    for (const Case& c : cases) {
        FlatArea(64, 32);
        TEnemy e;
        e.SetKind(enemykinds::scorpion);
        Stand(e, 19 * 16 + 4);
        e.f = c.f;
        areatiles[c.blockx][ToTile(e.y + 8)] = blocks::stone;
        e.Act(e.x, e.y, 0, 0);
        EXPECT_EQ(e.yv == -35, c.jumps) << (int)c.f << " " << c.blockx;
    }
}

TEST_F(EnemyTest, DeathRewards) {
    struct Case {
        const char* what;
        uint8_t kind, temp, full, usedweapon, scathed;
        uint16_t dropped;  // item in the first bag cell afterwards
        int gold, ap;
        std::vector<std::string> sounds;
        std::vector<std::string> firsttexts;
    } cases[] = {
        {"slime in claimed land", 0, 0, 0, 0, 0, 272, 6, 2, {"sfx\\moneyget.wav", "sfx\\raredrop.wav"},
         {"\x03\x03\x04", "+ITEM"}},
        {"in a passing area", 0, 1, 0, 0, 0, 0, 6, 2, {"sfx\\apget.wav", "sfx\\moneyget.wav"}, {"\x03\x03\x04"}},
        {"bag full", 2, 0, 1, 0, 0, 3, 6, 2, {"sfx\\moneyget.wav", "sfx\\nope.wav"}, {"\x03\x03\x04", "FULL"}},
        {"sword kill", 2, 1, 0, 1, 0, 0, 3, 2, {"sfx\\apget.wav"}, {"\x03\x03\x04"}},
        {"scathed", 0, 1, 0, 0, 1, 0, 6, 1, {"sfx\\moneyget.wav"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        headless::ClearSounds();
        textleaps.Clear();
        enemies.Clear();
        temparea = c.temp;
        gold = 3;
        AP = 1, maxAP = 3, APgain = 1, alchemy = 1;
        for (int col = 0; col < INVCOLS; ++col)
            for (int r = 0; r < INVROWS; ++r) invitem[col][r] = c.full ? 3 : 0, invamt[col][r] = c.full ? 9999 : 0;
        TEnemy* e = enemies.AddLast(new TEnemy);
        e->SetKind(c.kind);
        e->x = 300, e->y = 200;
        e->usedweapon = c.usedweapon;
        e->scathed = c.scathed;
        e->OnDeath(100, 100);
        EXPECT_EQ(invitem[0][0], c.dropped);
        EXPECT_EQ(gold, c.gold);
        EXPECT_EQ(AP, c.ap);
        EXPECT_EQ(headless::SoundsPlayed(), c.sounds);
        auto texts = Texts();
        texts.resize(std::min(texts.size(), c.firsttexts.size()));
        EXPECT_EQ(texts, c.firsttexts);
    }
    temparea = 0;
}

TEST_F(EnemyTest, TheInventoryMapFollowsAnItem) {
    invitem[2][5] = 256, invamt[2][5] = 10;
    TEnemy e;
    e.SetKind(enemykinds::slime);
    e.x = 300, e.y = 200, e.scathed = 1;
    e.OnDeath(0, 0);
    const auto t = Texts();
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[0], "+ITEM");
    EXPECT_EQ(t[1], std::string("\x00 \x01\x00\x00\x00\x00", 7));  // the drop took the first bag cell
    EXPECT_EQ(t[3], std::string("\x01 \x00\x00\x00\x00\x00", 7));  // hotbar cell 2 holds the sword
    textleaps.ForEach([](textleap* l) { EXPECT_EQ(l->x, 304); });
}

TEST_F(EnemyTest, ABigSlimeSplitsIntoTwoScathedHalves) {
    temparea = 1;
    TEnemy* big = enemies.AddLast(new TEnemy);
    big->SetKind(enemykinds::bigslime);
    big->x = 200, big->y = 150, big->f = 1;
    int seen = 0;
    enemies.ForEach([&](TEnemy* e) {
        ++seen;
        if (e == big) {
            e->OnDeath(0, 0);
            enemies.Remove(e);
        }
    });
    EXPECT_EQ(seen, 3);  // the walk reached the two born during it
    ASSERT_EQ(enemies.Count(), 2u);
    for (int i = 0; i < 2; ++i) {
        TEnemy* s = enemies.At(i);
        EXPECT_EQ(s->kind, enemykinds::slime);
        EXPECT_EQ(s->HP, 1);
        EXPECT_EQ(s->x, 200 + 8 * i);
        EXPECT_EQ(s->yv, 20);
        EXPECT_EQ(s->scathed, 1);
        EXPECT_EQ(s->invinced, 30);
        EXPECT_EQ(s->xv, -40);
    }
    EXPECT_EQ(enemies.At(0)->r, enemies.At(1)->r);
    temparea = 0;
}
