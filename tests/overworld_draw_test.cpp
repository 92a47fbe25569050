// The overworld frame read back from the headless screen: fog and the ring of
// wild tiles, tints, the marker on its fixed spot while the map slides, the
// scouting prices, the HUD, and the wipes around area visits.
#include <functional>
#include <set>

#include "creatures/creatures.h"
#include "engine/draw.h"
#include "engine/keys.h"
#include "overworld/overworld.h"
#include "overworld_testmap.h"
#include "base/assets.h"
#include "base/base.h"
#include "testutil.h"

namespace {
using Rgb = uint32_t;
constexpr Rgb FOG = 0x201810;

// Terrain tile k is one flat colour of its own.
Rgb TileColour(int k) { return k < 8 ? (Rgb)((60 + 20 * k) << 16 | (200 - 20 * k) << 8 | (100 + 10 * k)) : 0x0A0A0A; }
constexpr Rgb VILLAGE = 0xFA0AC8, EXPICON = 0x0505FA, BAG = 0x5A3C1E, GOLD = 0xF0C814;
Rgb MarkerColour(int f) { return (Rgb)(30 << 16 | 220 << 8 | (40 + 50 * f)); }

Rgb Tint(Rgb c, int r, int g, int b) {
    return (Rgb)((((c >> 16) & 255) * r / 255) << 16 | (((c >> 8) & 255) * g / 255) << 8 | ((c & 255) * b / 255));
}
Rgb Dim(Rgb c) { return Tint(c, 192, 192, 192); }

TImage Picture(int w, int h, int cw, int ch, const std::function<Rgb(int, int)>& colour) {
    std::vector<uint8_t> rgb((size_t)w * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = colour(x, y);
            uint8_t* p = &rgb[((size_t)y * w + x) * 3];
            p[0] = (uint8_t)(c >> 16), p[1] = (uint8_t)(c >> 8), p[2] = (uint8_t)c;
        }
    TImage img;
    img.FromRGB(rgb.data(), w, h, cw, ch, 0, (w / cw) * (h / ch));
    return img;
}

class OverworldViewTest : public GameTest {
protected:
    TImage* const pictures[7] = {&gfxoverworld, &gfxvillage, &gfxplayericon, &gfxexp, &gfxbag, &gfxgold, &gfxfont};
    TImage kept[7];

    void SetUp() override {
        GameTest::SetUp();
        for (int i = 0; i < 7; ++i) kept[i] = *pictures[i];
        gfxoverworld = Picture(256, 256, 16, 16, [](int x, int y) { return TileColour(y / 16 * 16 + x / 16); });
        gfxvillage = Picture(16, 16, 16, 16, [](int x, int y) { return x >= 4 && x < 12 && y >= 4 && y < 12 ? VILLAGE : 0; });
        gfxplayericon = Picture(32, 32, 16, 16, [](int x, int y) { return MarkerColour(y / 16 * 2 + x / 16); });
        gfxexp = Picture(8, 8, 8, 8, [](int, int) { return EXPICON; });
        gfxbag = Picture(8, 8, 8, 8, [](int, int) { return BAG; });
        gfxgold = Picture(8, 8, 8, 8, [](int, int) { return GOLD; });
        // Every glyph a white 3 x 5 block whose second texel tells its code.
        gfxfont = Picture(64, 40, 4, 5, [](int x, int y) -> Rgb {
            const int code = y / 5 * 16 + x / 4;
            if (x % 4 == 3) return 0;
            if (x % 4 == 1 && y % 5 == 0) return (Rgb)(0xFF00FF | (64 + code) << 8);
            return 0xFFFFFF;
        });
        for (const SoundEntry& s : soundcatalogue) s.sound->Load(s.path);
        marker.x = marker.y = 100;
    }
    void TearDown() override {
        for (int i = 0; i < 7; ++i) *pictures[i] = kept[i];
        GameTest::TearDown();
    }

    static Rgb Px(int x, int y) { return headless::Pixel(x, y); }
    // A white text of n characters read back from the screen.
    static std::string TextAt(int x, int y, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += (char)(((Px(x + 4 * i + 1, y) >> 8) & 255) - 64);
        return s;
    }
    // A pixel of the tile dx, dy away from the resting marker's, clear of
    // the marker itself.
    static Rgb TileAt(int dx, int dy) {
        const int x = 224 + 16 * dx + 2, y = 128 + 16 * dy + (dx == 0 && dy == -1 ? 2 : 13);
        return Px(x, y);
    }
    static Rgb TilePx(int x, int y) { return TileAt(x - 100, y - 100); }
};
}  // namespace

TEST_F(OverworldViewTest, AFreshWorldShowsHomeItsWildRingAndFogBeyond) {
    Paint({"h"}, 100, 100);
    encountertype[100][100] = encounters::home;
    encountertype[105][103] = encounters::village;
    Paint({"#~", "~~"}, 93, 96);  // a known pond corner among wild water
    DrawOverworld();
    EXPECT_EQ(TilePx(100, 100), TileColour(6));
    for (auto [x, y] : {std::pair{101, 100}, {99, 100}, {100, 99}, {100, 101}}) EXPECT_EQ(TilePx(x, y), Dim(TileColour(0))) << x << "," << y;
    for (auto [x, y] : {std::pair{102, 100}, {101, 101}, {99, 99}, {100, 102}, {114, 108}, {86, 92}}) EXPECT_EQ(TilePx(x, y), FOG) << x << "," << y;
    // The village in full colour with its houses, its sides dimmed.
    EXPECT_EQ(TilePx(105, 103), TileColour(0));
    EXPECT_EQ(Px(224 + 16 * 5 + 6, 128 + 16 * 3 + 6), VILLAGE);
    EXPECT_EQ(TilePx(106, 103), Dim(TileColour(0)));
    EXPECT_EQ(TilePx(93, 96), TileColour(2));
    EXPECT_EQ(TilePx(94, 96), Dim(TileColour(2)));
    EXPECT_EQ(TilePx(94, 97), FOG);
    int ox, oy;
    GetDrawOrigin(ox, oy);
    EXPECT_EQ(ox, 0);
    EXPECT_EQ(oy, 0);
}

TEST_F(OverworldViewTest, KnownTilesAreBrightWildOnesDimAndClaimedLandShimmers) {
    encountertype[100][100] = encounters::cleared;
    terrain[101][100] = terrains::forest;
    struct Case {
        uint8_t type;
        std::set<int> shades;
    } cases[] = {
        {encounters::wild, {192}},   {encounters::cleared, {255}}, {encounters::home, {255}},
        {encounters::village, {255}}, {7, {192}},                   {encounters::claimed, {223, 231, 239, 247, 255}},
    };
    for (const Case& c : cases) {
        encountertype[101][100] = c.type;
        std::set<int> seen;
        for (int frame = 0; frame < 60; ++frame) {
            DrawOverworld();
            int shade = -1;
            for (int s = 0; s <= 255; ++s)
                if (TilePx(101, 100) == Tint(TileColour(3), s, s, s)) shade = s;
            seen.insert(shade);
        }
        EXPECT_EQ(seen, c.shades) << (int)c.type;
    }
}

TEST_F(OverworldViewTest, BeyondTheMapsEdgeTheRingShowsGreyWaterThenFog) {
    marker.x = marker.y = 0;
    encountertype[0][0] = encounters::cleared;
    DrawOverworld();
    auto at = [](int x, int y) { return TileAt(x, y); };
    EXPECT_EQ(at(0, 0), TileColour(0));
    EXPECT_EQ(at(-1, 0), Dim(TileColour(2)));
    EXPECT_EQ(at(0, -1), Dim(TileColour(2)));
    EXPECT_EQ(at(-2, 0), FOG);
    EXPECT_EQ(at(-1, -1), FOG);
    EXPECT_EQ(at(0, -2), FOG);
}

TEST_F(OverworldViewTest, TheMarkerStaysOnItsSpotWhileTheMapSlidesBeneathIt) {
    KnowAll();
    // The tile the marker came from, seen from each facing.
    const int from[4][2] = {{100, 101}, {99, 100}, {100, 99}, {101, 100}};
    for (int f = 0; f < 4; ++f)
        for (int moving = 0; moving <= 8; ++moving) {
            terrain[from[f][0]][from[f][1]] = terrains::forest;
            marker.f = (uint8_t)f, marker.moving = (uint8_t)moving;
            DrawOverworld();
            const std::string what = "facing " + std::to_string(f) + " moving " + std::to_string(moving);
            EXPECT_EQ(Px(224, 121), MarkerColour(f)) << what;
            EXPECT_EQ(Px(239, 136), MarkerColour(f)) << what;
            EXPECT_NE(Px(223, 121), MarkerColour(f)) << what;
            EXPECT_NE(Px(224, 120), MarkerColour(f)) << what;
            // Right after the step the old tile lies under the marker.
            if (moving == 8) {
                EXPECT_EQ(Px(226, 140), TileColour(3)) << what;
            }
            terrain[from[f][0]][from[f][1]] = terrains::plains;
        }
    // Halfway through a step to the right the map has slid 8 of its 16 pixels.
    terrain[99][100] = terrains::forest;
    terrain[100][100] = terrains::desert;
    marker.f = 1, marker.moving = 4;
    DrawOverworld();
    EXPECT_EQ(Px(231, 140), TileColour(3));
    EXPECT_EQ(Px(232, 140), TileColour(4));
}

TEST_F(OverworldViewTest, HoldingSpaceShowsWhatEachWildSideWouldCost) {
    Paint({"...", "P.^", ".d."}, 99, 99);  // up wild plains, left known, right wild mountain, down wild desert
    encountertype[100][100] = encounters::cleared;
    level = 4;  // twice the tier
    headless::KeyDown(KEY_SPACE);
    DrawOverworld();
    struct Price {
        int x, y;
        char cost;
    } prices[] = {{100, 99, '2'}, {100, 101, '6'}, {101, 100, '0'}};
    for (const Price& p : prices) {
        const int sx = 224 + 16 * (p.x - 100), sy = 128 + 16 * (p.y - 100);
        EXPECT_EQ(Px(sx + 1, sy + 1), EXPICON) << p.x << "," << p.y;
        EXPECT_EQ(TextAt(sx + 10, sy + 2, 1), std::string(1, p.cost)) << p.x << "," << p.y;
    }
    EXPECT_EQ(Px(208 + 1, 128 + 1), TileColour(0));  // the known side has no price

    struct Quiet {
        const char* why;
        std::function<void()> set;
    } quiet[] = {
        {"Space up", [] { headless::KeyUp(KEY_SPACE); }},
        {"sliding", [] { marker.moving = 1; }},
        {"standing on wild land", [] { encountertype[100][100] = encounters::wild; }},
    };
    for (const Quiet& q : quiet) {
        headless::KeyDown(KEY_SPACE);
        marker.moving = 0;
        encountertype[100][100] = encounters::cleared;
        q.set();
        headless::NextPass();  // each case is a frame of its own
        DrawOverworld();
        EXPECT_NE(Px(224 + 1, 112 + 1), EXPICON) << q.why;
    }
}

TEST_F(OverworldViewTest, TheHudShowsExperienceFreeCellsAndGold) {
    gold = 1234;
    DrawOverworld();
    EXPECT_EQ(Px(4, 4), EXPICON);
    EXPECT_EQ(Px(40, 4), BAG);
    EXPECT_EQ(Px(60, 4), GOLD);
    EXPECT_EQ(TextAt(13, 7, 3), "0/1");
    EXPECT_EQ(Px(13, 7), 0xFFFFFFu);
    EXPECT_EQ(Px(16, 8), 0u);  // the black shadow of white text
    EXPECT_EQ(TextAt(49, 7, 2), "30");
    EXPECT_EQ(TextAt(69, 7, 4), "1234");
    EXPECT_EQ(TextAt(1, 264, 4), "FPS:");

    level = 4;
    DrawOverworld();
    EXPECT_EQ(TextAt(13, 7, 4), "0/10");

    // Enough for the next level: light blue, flickering in green.
    level = 1;
    player::exp = 1;
    std::set<int> greens;
    for (int i = 0; i < 100; ++i) {
        DrawOverworld();
        const Rgb c = Px(13, 7);
        EXPECT_EQ(c >> 16, 128u);
        EXPECT_EQ(c & 255, 255u);
        greens.insert((c >> 8) & 255);
    }
    EXPECT_GT(greens.size(), 20u);
    EXPECT_GE(*greens.begin(), 160);
    EXPECT_LE(*greens.rbegin(), 255);
}

TEST_F(OverworldViewTest, TheFreeCellCountWarmsAsTheBagFills) {
    struct Case {
        int used;
        Rgb colour;
    } cases[] = {{19, 0xFFFFFF}, {20, 0xFFFF00}, {24, 0xFFFF00}, {25, 0xFF8000}, {29, 0xFF8000}, {30, 0xFF0000}};
    for (const Case& c : cases) {
        for (int i = 0; i < 30; ++i) invitem[i % 5][i / 5] = i < c.used ? (uint16_t)(1 + i) : 0;
        DrawOverworld();
        EXPECT_EQ(Px(49, 7), c.colour) << c.used;
        EXPECT_EQ(Px(52, 8), 0u) << c.used;  // black shadow whatever the colour
    }
    for (int i = 0; i < 30; ++i) invitem[i % 5][i / 5] = i < 20 ? 300 : 0;
    DrawOverworld();
    EXPECT_EQ(TextAt(49, 7, 2), "10");  // yellow keeps the code texel's green
}

TEST_F(OverworldViewTest, TheWipesCoverAndUncoverByTheirRectangles) {
    KnowAll();
    // Probes as (x, y, covered) at the sixth frame, i = 5, and after the last.
    struct Probe {
        int x, y;
        bool fog;
    };
    struct Case {
        bool cover;
        uint8_t kind;
        std::vector<Probe> mid;
        bool endfog;
    } cases[] = {
        {true, 0, {{359, 200, false}, {360, 200, true}, {479, 0, true}}, true},
        {true, 1, {{119, 200, true}, {120, 200, false}, {0, 50, true}}, true},
        {true, 2, {{95, 95, true}, {94, 95, false}, {95, 94, false}, {384, 174, true}, {385, 174, false}, {384, 175, false}}, true},
        {false, 0, {{359, 200, true}, {360, 200, false}, {0, 50, true}}, false},
        {false, 1, {{119, 200, false}, {120, 200, true}, {479, 269, true}}, false},
        {false, 2, {{240, 94, true}, {240, 95, false}, {94, 160, true}, {95, 160, false}, {384, 160, false}, {385, 160, true}, {300, 174, false}, {300, 175, true}}, false},
        {true, 3, {{359, 200, false}, {119, 200, false}, {240, 100, false}}, false},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.cover ? "cover " : "uncover ") + std::to_string(c.kind);
        headless::Reset();
        lasttime = ClockMs();
        accum = 0;
        std::vector<std::pair<Probe, Rgb>> seen;
        headless::At(6, [&] {
            for (const Probe& p : c.mid) seen.push_back({p, Px(p.x, p.y)});
        });
        c.cover ? WorldTransOut(c.kind) : WorldTransIn(c.kind);
        EXPECT_EQ(headless::Flips(), 21) << what;
        EXPECT_EQ(headless::SoundsPlayed(), std::vector<std::string>{c.cover ? "sfx\\transout.wav" : "sfx\\transin.wav"}) << what;
        ASSERT_EQ(seen.size(), c.mid.size()) << what;
        for (auto& [p, colour] : seen) EXPECT_EQ(colour == FOG, p.fog) << what << " at " << p.x << "," << p.y;
        // The last frame: covered whole, or the map whole again.
        for (auto [x, y] : {std::pair{0, 150}, {240, 135}, {479, 269}, {300, 20}}) EXPECT_EQ(Px(x, y) == FOG, c.endfog) << what << " end " << x << "," << y;
    }
}
