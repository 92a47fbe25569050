// The area frame: light by depth, cracks, the HUD by place.
#include "area_fixture.h"
#include "areas/enemy.h"
#include "creatures/view.h"

namespace {
class ViewTest : public AreaTest {
protected:
    void SetUp() override {
        AreaTest::SetUp();
        marker.x = marker.y = 100;
        SetClsColor(0, 0, 0);
    }
    // Whether anything was drawn in the w x h box at (x, y) of the frame.
    static bool Drawn(int x, int y, int w, int h) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                if (headless::Pixel(i, j) != 0) return true;
        return false;
    }
    static void Show(entity& p) {
        camx = p.x, camy = p.y;
        p.DrawView();
    }
};
}  // namespace

TEST_F(ViewTest, TheLitSquareShrinksAndDimsWithDepth) {
    struct Case {
        int depth, radius, shade;
    } cases[] = {{-5, 30, 255}, {0, 30, 255}, {20, 10, 175}, {27, 3, 147}, {28, 2, 143}, {60, 2, 143}};
    for (const Case& c : cases) {
        FlatArea(128, 128);
        const int pr = 64 + c.depth;
        EXPECT_EQ(LightRadius(pr), c.radius) << c.depth;
        EXPECT_EQ(4 * LightRadius(pr) + 135, c.shade) << c.depth;
    }
    // 20 rows deep in a tunnel: ten tiles either way are lit, eleven not.
    FlatArea(128, 128);
    terrain[100][100] = terrains::plains;
    entity p;
    p.x = 60 * 16, p.y = 84 * 16;
    for (int x = 40; x < 80; ++x) areatiles[x][84] = blocks::air;
    Show(p);
    int ox, oy;
    ViewOrigin(p, ox, oy);
    const int row = 84 * 16 + oy + 8;
    EXPECT_TRUE(Drawn(70 * 16 + ox, row, 16, 1));
    EXPECT_FALSE(Drawn(71 * 16 + ox, row, 16, 1));
    EXPECT_TRUE(Drawn(50 * 16 + ox, row, 16, 1));
    EXPECT_FALSE(Drawn(49 * 16 + ox, row, 16, 1));
}

TEST_F(ViewTest, CrackFramesByDamage) {
    struct Case {
        int damage, hardness, frame;
    } cases[] = {{0, 10, -1}, {1, 10, 0}, {2, 10, 0}, {3, 10, 1}, {5, 10, 2}, {7, 10, 2}, {8, 10, 3},
                 {9, 10, 3}, {10, 10, -1}, {1, 2, 2}, {1, 0, -1}, {11, 12, 3}};
    for (const Case& c : cases) EXPECT_EQ(CrackFrame(c.damage, c.hardness), c.frame) << c.damage << "/" << c.hardness;
}

TEST_F(ViewTest, TheHudShowsEnemiesAndRewardOnlyWhereTheyCount) {
    struct Case {
        uint8_t enc;
        bool count, preview;
    } cases[] = {{encounters::wild, true, true},
                 {encounters::cleared, true, false},
                 {encounters::claimed, false, false},
                 {encounters::village, false, false}};
    // Deep underground only a small square around the player is lit, so
    // the corner of the screen holds nothing but the HUD.
    FlatArea(64, 128);
    entity p;
    p.x = 30 * 16, p.y = 110 * 16;
    TEnemy* e = enemies.AddLast(new TEnemy);
    e->SetKind(enemykinds::slime);
    for (const Case& c : cases) {
        encountertype[100][100] = c.enc;
        Show(p);
        EXPECT_EQ(Drawn(31, 32, 8, 8), c.count) << (int)c.enc;
        EXPECT_EQ(Drawn(31, 24, 8, 8), c.preview) << (int)c.enc;
    }
    // Hearts: two of three white, the third black; the ACTION box always.
    p.HP = 2;
    Show(p);
    EXPECT_TRUE(Drawn(9, 31, 8, 8));
    EXPECT_TRUE(Drawn(9, 40, 8, 8));
    EXPECT_FALSE(Drawn(9, 49, 8, 8));
    EXPECT_EQ(headless::Pixel(8, 20), 0xC0A080u);
}

TEST_F(ViewTest, DeadPlayerSeesBlackBlocksOnWhite) {
    FlatArea(64, 32);
    terrain[100][100] = terrains::plains;
    entity p;
    Stand(p, 300);
    p.HP = 0;
    Show(p);
    int ox, oy;
    ViewOrigin(p, ox, oy);
    EXPECT_EQ(headless::Pixel(p.x + ox + 40, p.y + oy - 40), 0xFFFFFFu);  // sky
    EXPECT_EQ(headless::Pixel(p.x + ox + 40, p.y + oy + 24), 0x000000u);  // stone
}
