// The area frame: light by depth, cracks, the sky by ground and depth, the
// view held inside the area, the HUD by place.
#include <algorithm>
#include <array>
#include <bit>

#include "area_fixture.h"
#include "areas/enemy.h"
#include "creatures/view.h"
#include "engine/draw.h"
#include "engine/keys.h"
#include "base/base.h"

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

namespace {
// The shimmer d added to the components of a sky colour picked out by
// mask (0x010000 red, 0x000100 green, 0x000001 blue), or -1 when the pixel
// is no such colour. d is four times 0 to 4.
int Shimmer(uint32_t pixel, uint32_t base, uint32_t mask) {
    for (int d = 0; d <= 16; d += 4)
        if (pixel == base + (uint32_t)d * mask) return d;
    return -1;
}
}  // namespace

TEST_F(ViewTest, TheSkyByTerrainDepthAndPlace) {
    struct Case {
        const char* what;
        uint8_t terrain;
        int height, row, hp;
        uint32_t colour, stripe;  // stripe: on tiles whose column + row is a multiple of 3
        uint32_t mask;            // the components that shimmer
    } cases[] = {
        {"plains sky", terrains::plains, 32, 13, 3, 0x5791CA, 0x5791CA, 0x010100},
        {"plains underground", terrains::plains, 32, 18, 3, 0x341C10, 0x341C10, 0x010101},
        {"forest sky", terrains::forest, 32, 13, 3, 0x649682, 0x697A50, 0x010101},
        {"forest underground", terrains::forest, 32, 18, 3, 0x402010, 0x373E28, 0x010101},
        // Desert light fades down the rows: t = row x (512 / height).
        {"desert sky, t 105", terrains::desert, 24, 5, 3, 0xDFDFAB, 0xDFDFAB, 0x010101},
        {"desert sand, t 252", terrains::desert, 24, 12, 3, 0x804102, 0x804102, 0x010000},
        {"desert sand, blue below 0", terrains::desert, 24, 13, 3, 0x803C00, 0x803C00, 0x010000},
        {"desert sky, t 240", terrains::desert, 64, 30, 3, 0xDFDF67, 0xDFDF67, 0x010101},
        {"desert sand, t 264", terrains::desert, 64, 33, 3, 0x803E00, 0x803E00, 0x010000},
        {"home sky, darker by row", terrains::home, 32, 10, 3, 0x161636, 0x161636, 0},
        {"home underground", terrains::home, 32, 20, 3, 0x0C0C2C, 0x0C0C2C, 0},
        {"the last heart changes nothing", terrains::plains, 32, 13, 1, 0x5791CA, 0x5791CA, 0x010100},
        {"dead: white", terrains::forest, 32, 13, 0, 0xFFFFFF, 0xFFFFFF, 0},
        {"dead: white underground", terrains::desert, 24, 13, 0, 0xFFFFFF, 0xFFFFFF, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        terrain[100][100] = c.terrain;
        FlatArea(64, c.height);
        for (int x = 0; x < 64; ++x) areatiles[x][c.row] = blocks::air;  // a tunnel when underground
        entity p;
        Stand(p, 464);
        p.HP = c.hp;
        Show(p);
        int ox, oy;
        ViewOrigin(p, ox, oy);
        const int sy = c.row * 16 + oy + 8;
        ASSERT_GT(sy, 0);
        ASSERT_LT(sy, 260);
        int seen = 0;
        unsigned shimmers = 0;
        for (int o = 0; o < 64; ++o) {
            const int sx = o * 16 + ox + 8;
            if (sx < 100 || sx >= 480) continue;  // clear of the HUD
            const uint32_t base = (o + c.row) % 3 == 0 ? c.stripe : c.colour;
            const int d = Shimmer(headless::Pixel(sx, sy), base, c.mask);
            EXPECT_GE(d, 0) << "column " << o << ": " << std::hex << headless::Pixel(sx, sy);
            if (d >= 0) shimmers |= 1u << (d / 4);
            ++seen;
        }
        EXPECT_GE(seen, 20);
        if (c.mask) {
            EXPECT_GE(std::popcount(shimmers), 3);  // it shimmers from tile to tile
        }
    }
    // Over any other ground the colour is left as it was.
    terrain[100][100] = terrains::mountain;
    SetColor(1, 2, 3);
    SkyColour(5, 5, 3);
    int r, g, b;
    CurrentColor(r, g, b);
    EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{1, 2, 3}));
}

namespace {
constexpr uint32_t MARKERGREY = 0x808080;
// The longest run of the placement marker's grey down screen column x, or
// along screen row y.
int GreyDown(int x) {
    int best = 0, run = 0;
    for (int y = 0; y < 270; ++y) best = std::max(best, run = headless::Pixel(x, y) == MARKERGREY ? run + 1 : 0);
    return best;
}
int GreyAcross(int y) {
    int best = 0, run = 0;
    for (int x = 0; x < 480; ++x) best = std::max(best, run = headless::Pixel(x, y) == MARKERGREY ? run + 1 : 0);
    return best;
}
}  // namespace

TEST_F(ViewTest, TheViewStopsAtTheEdgesOfTheArea) {
    // A wild plains area as it is generated, 128 x 24 tiles, 2048 x 384
    // pixels. The placement marker of a held block shows where the area
    // lands: its left edge is a grey line 16 pixels down, its top edge one
    // 16 pixels across. Where area pixel (0, 0) lands when the view stops
    // at each edge:
    constexpr int LEFTMOST = 0, RIGHTMOST = 480 - 2048, TOPMOST = 0, BOTTOMMOST = 270 - 384;
    enum Edge { LEFT, RIGHT, TOP, BOTTOM };
    struct Case {
        Edge edge;
        uint8_t facing;  // the marker's: 1 came in moving right, from the west; 3 from the east
        int key;         // held to look up or down
    } cases[] = {{LEFT, 1, 0}, {RIGHT, 3, 0}, {TOP, 1, KEY_UP}, {BOTTOM, 1, KEY_DOWN}, {TOP, 3, KEY_W}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "edge " << c.edge << " facing " << (int)c.facing);
        headless::Reset();
        headless::SetFlipLimit(2000);
        lasttime = 0, accum = 0;
        terrain[100][100] = terrains::plains;
        encountertype[100][100] = encounters::wild;
        marker.f = c.facing;
        temparea = 1;
        GenerateArea(100, 100, 128, 24);
        // Level ground at both ends, so the player stands low enough to look
        // down to the bottom, and no bushes: they stand in front of the marker.
        for (int x = 0; x < 128; ++x)
            for (int y = 0; y < 12; ++y)
                if (areatiles[x][y] == blocks::bush || x < 4 || x >= 124) areatiles[x][y] = blocks::air;
        invitem[0][5] = blocks::dirt, invamt[0][5] = 9;
        const int base = headless::Flips();  // the notice
        headless::At(base + 1, [] { enemies.Clear(); });
        if (c.key) headless::At(base + 21, [&] { headless::KeyDown(c.key); });
        bool looked = false;
        headless::At(base + 90, [&] {
            looked = true;
            quit = 1;
            const entity& p = *areaplayer;
            const int pc = ToTile(p.x + 8), pr = ToTile(p.y + 8);
            switch (c.edge) {
            case LEFT: {
                ASSERT_EQ(p.f, 1);
                ASSERT_GT(232 - (camx + p.x) / 2, LEFTMOST);  // the view would go past the edge
                const int x = (pc + 1) * 16 + LEFTMOST;
                EXPECT_EQ(GreyDown(x), 16);
                EXPECT_LT(GreyDown(x - 1), 16);
                EXPECT_LT(GreyDown(x + 1), 16);
                EXPECT_NE(headless::Pixel(0, 100), 0u);  // the area, not the clear colour
                break;
            }
            case RIGHT: {
                ASSERT_EQ(p.f, 0);
                ASSERT_LT(232 - (camx + p.x) / 2, RIGHTMOST);
                const int x = (pc - 1) * 16 + RIGHTMOST;
                EXPECT_EQ(GreyDown(x), 16);
                EXPECT_LT(GreyDown(x - 1), 16);
                EXPECT_LT(GreyDown(x + 1), 16);
                EXPECT_NE(headless::Pixel(479, 100), 0u);
                break;
            }
            case TOP: {
                ASSERT_GT(128 - camy, TOPMOST);
                const int y = (pr - 1) * 16 + TOPMOST;
                EXPECT_EQ(GreyAcross(y), 16);
                EXPECT_LT(GreyAcross(y - 1), 16);
                EXPECT_LT(GreyAcross(y + 1), 16);
                EXPECT_NE(headless::Pixel(240, 0), 0u);
                break;
            }
            case BOTTOM: {
                ASSERT_LT(128 - camy, BOTTOMMOST);
                const int y = (pr + 1) * 16 + BOTTOMMOST;
                EXPECT_EQ(GreyAcross(y), 16);
                EXPECT_LT(GreyAcross(y - 1), 16);
                EXPECT_LT(GreyAcross(y + 1), 16);
                int ground = 0;
                for (int x = 100; x < 400; ++x) ground += headless::Pixel(x, 269) != 0;
                EXPECT_GT(ground, 0);  // the bottom row of blocks, not what lies below
                break;
            }
            }
        });
        testing::internal::CaptureStdout();
        RunEncounter();
        Replay(testing::internal::GetCapturedStdout());
        if (c.key) headless::KeyUp(c.key);
        quit = 0;
        justleft = 0;
        marker.moving = 0;
        EXPECT_TRUE(looked);
    }
}
