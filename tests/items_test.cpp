// The item table against the game's rules, row by row and id by id; the icon,
// power, sound and colour lookups; shop prices from the values; amounts drawn
// into the headless frame.
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "areas/areas.h"
#include "areas/inventory.h"
#include "creatures/items.h"
#include "base/assets.h"
#include "testutil.h"
#include "base/base.h"

namespace {
using Colour = std::tuple<int, int, int>;

class ItemsTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        for (const SoundEntry& s : soundcatalogue) s.sound->Load(s.path);
    }
};

// One row of the item kinds, written out independently of the game's table.
// Block values are the blocks' values (equal to their hardness).
struct DocRow {
    int first, last;
    const TImage* image;
    int framebase;
    int weapon, dig, stack;
    float value;  // -1: the block's value, from BLOCKVALUE
    std::string sound;
    Colour slash, amount;
};
const std::string SLASHWAV = "sfx\\slash.wav", PLACE = "sfx\\place.wav", HOTBAR = "sfx\\hotbar.wav",
                  SHOVEL = "sfx\\shovel.wav";
const Colour DEFSLASH{192, 192, 160}, PLAIN{192, 192, 255}, TOOL{192, 255, 192}, WEAPON{255, 192, 192};
constexpr float BLOCK = -1;
// air, grass, dirt, stone, wood, leaves, bush, bedrock, sand, sandstone, brick, planks
const int BLOCKVALUE[12] = {0, 4, 2, 10, 12, 3, 6, 0, 2, 5, 15, 9};

std::vector<DocRow> DocTable() {
    return {
        // the bare hand's amount colour is "—" (never drawn); checked apart
        {0, 0, &gfxblock, 0, 1, 1, 0, 0, SLASHWAV, DEFSLASH, WEAPON},
        {1, 7, &gfxblock, 0, 0, 0, 9999, BLOCK, PLACE, DEFSLASH, PLAIN},
        {8, 255, &gfxblock, 0, 0, 0, 9999, BLOCK, HOTBAR, DEFSLASH, PLAIN},
        {256, 256, &gfxitem, 256, 2, 0, 0, 5, SLASHWAV, {192, 96, 48}, WEAPON},
        {257, 257, &gfxitem, 256, 0, 2, 0, 0.5f, SHOVEL, {128, 64, 32}, TOOL},
        {258, 258, &gfxitem, 256, 0, 3, 0, 0.75f, SHOVEL, {128, 64, 32}, TOOL},
        {259, 259, &gfxitem, 256, 0, 5, 0, 1.25f, SHOVEL, {128, 64, 32}, TOOL},
        {272, 272, &gfxitem, 256, 0, 0, 1, 40, HOTBAR, DEFSLASH, PLAIN},
        {273, 273, &gfxitem, 256, 0, 0, 1, 200, HOTBAR, DEFSLASH, PLAIN},
        {274, 274, &gfxitem, 256, 0, 0, 1, 400, HOTBAR, DEFSLASH, PLAIN},
    };
}

// The expected row for id: listed rows, then "any other id below 512",
// then ids from 512 on (no kind at all), which have no icon and
// otherwise the other ids' columns.
DocRow DocRowOf(int id) {
    for (const DocRow& r : DocTable())
        if (id >= r.first && id <= r.last) return r;
    if (id < 512) return {id, id, &gfxitem, 256, 0, 0, 0, 0, HOTBAR, DEFSLASH, PLAIN};
    return {id, id, nullptr, 0, 0, 0, 0, 0, HOTBAR, DEFSLASH, PLAIN};
}

Colour SlashOf(uint16_t id) {
    SetColor(1, 2, 3);
    SlashTint(id);
    int r, g, b;
    CurrentColor(r, g, b);
    return {r, g, b};
}

Colour AmountOf(uint16_t id) {
    const ItemKind::Colour c = ItemKindOf(id).amount;
    return {c.r, c.g, c.b};
}
}  // namespace

TEST_F(ItemsTest, TheRowsCoverEveryIdOnceInAscendingOrder) {
    ASSERT_GT(ITEMKINDS, 0);
    EXPECT_EQ(itemkinds[0].first, 0);
    EXPECT_EQ(itemkinds[ITEMKINDS - 1].last, 65535);
    for (int i = 0; i < ITEMKINDS; ++i) {
        EXPECT_LE(itemkinds[i].first, itemkinds[i].last) << itemkinds[i].name;
        if (i > 0) {
            EXPECT_EQ(itemkinds[i].first, itemkinds[i - 1].last + 1) << itemkinds[i].name;
        }
    }
    for (int id = 0; id <= 65535; ++id) {
        const ItemKind& k = ItemKindOf((uint16_t)id);
        ASSERT_TRUE(id >= k.first && id <= k.last) << id;
    }
}

TEST_F(ItemsTest, EveryIdAnswersAsTheItemRulesSay) {
    for (int id = 0; id <= 65535; ++id) {
        const uint16_t i = (uint16_t)id;
        const DocRow d = DocRowOf(id);
        const float value = d.value == BLOCK ? (id < 12 ? BLOCKVALUE[id] : 0) : d.value;
        ASSERT_EQ(ItemImage(i), d.image) << id;
        ASSERT_EQ(ItemFrame(i), d.image ? id - d.framebase : 0) << id;
        ASSERT_EQ(WeaponPower(i), d.weapon) << id;
        ASSERT_EQ(DigPower(i), d.dig) << id;
        ASSERT_EQ(StackLimit(i), d.stack) << id;
        ASSERT_EQ(ItemValue(i), value) << id;
        ASSERT_EQ(UseSound(i).name, d.sound) << id;
        ASSERT_EQ(SlashOf(i), d.slash) << id;
        if (id != 0) {
            ASSERT_EQ(AmountOf(i), d.amount) << id;
        }
    }
}

TEST_F(ItemsTest, NamedItemsAnswerAsExpected) {
    struct Case {
        uint16_t id;
        const TImage* image;
        int frame, weapon, dig, stack;
        float value;
        std::string sound;
    } cases[] = {
        {0, &gfxblock, 0, 1, 1, 0, 0, SLASHWAV},        // bare hand: can always fight and dig
        {1, &gfxblock, 1, 0, 0, 9999, 4, PLACE},        // grass
        {2, &gfxblock, 2, 0, 0, 9999, 2, PLACE},        // dirt
        {3, &gfxblock, 3, 0, 0, 9999, 10, PLACE},       // stone
        {4, &gfxblock, 4, 0, 0, 9999, 12, PLACE},       // wood
        {5, &gfxblock, 5, 0, 0, 9999, 3, PLACE},        // leaves
        {6, &gfxblock, 6, 0, 0, 9999, 6, PLACE},        // bush
        {7, &gfxblock, 7, 0, 0, 9999, 0, PLACE},        // bedrock
        {8, &gfxblock, 8, 0, 0, 9999, 2, HOTBAR},       // sand
        {9, &gfxblock, 9, 0, 0, 9999, 5, HOTBAR},       // sandstone
        {10, &gfxblock, 10, 0, 0, 9999, 15, HOTBAR},    // brick
        {11, &gfxblock, 11, 0, 0, 9999, 9, HOTBAR},     // planks
        {12, &gfxblock, 12, 0, 0, 9999, 0, HOTBAR},     // never generated
        {255, &gfxblock, 255, 0, 0, 9999, 0, HOTBAR},
        {256, &gfxitem, 0, 2, 0, 0, 5, SLASHWAV},       // sword
        {257, &gfxitem, 1, 0, 2, 0, 0.5f, SHOVEL},      // shovel
        {258, &gfxitem, 2, 0, 3, 0, 0.75f, SHOVEL},     // axe
        {259, &gfxitem, 3, 0, 5, 0, 1.25f, SHOVEL},     // pickaxe
        {260, &gfxitem, 4, 0, 0, 0, 0, HOTBAR},
        {271, &gfxitem, 15, 0, 0, 0, 0, HOTBAR},
        {272, &gfxitem, 16, 0, 0, 1, 40, HOTBAR},       // slime drop
        {273, &gfxitem, 17, 0, 0, 1, 200, HOTBAR},      // big slime drop
        {274, &gfxitem, 18, 0, 0, 1, 400, HOTBAR},      // scorpion drop
        {275, &gfxitem, 19, 0, 0, 0, 0, HOTBAR},
        {511, &gfxitem, 255, 0, 0, 0, 0, HOTBAR},
        {512, nullptr, 0, 0, 0, 0, 0, HOTBAR},
        {65535, nullptr, 0, 0, 0, 0, 0, HOTBAR},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ItemImage(c.id), c.image) << c.id;
        EXPECT_EQ(ItemFrame(c.id), c.frame) << c.id;
        EXPECT_EQ(WeaponPower(c.id), c.weapon) << c.id;
        EXPECT_EQ(DigPower(c.id), c.dig) << c.id;
        EXPECT_EQ(StackLimit(c.id), c.stack) << c.id;
        EXPECT_EQ(ItemValue(c.id), c.value) << c.id;
        EXPECT_EQ(UseSound(c.id).name, c.sound) << c.id;
    }
}

// A block's hardness and its value are kept in two tables that are
// equal for every block; the block table's Hardness and the item table's
// value must not drift apart.
TEST_F(ItemsTest, EveryBlocksValueEqualsItsHardness) {
    for (int code = 0; code <= 255; ++code) EXPECT_EQ(ItemValue((uint16_t)code), (float)Hardness((uint8_t)code)) << code;
}

TEST_F(ItemsTest, UseSoundsAreTheCataloguesSounds) {
    EXPECT_EQ(&UseSound(0), &sfxslash);
    EXPECT_EQ(&UseSound(256), &sfxslash);
    EXPECT_EQ(&UseSound(1), &sfxplace);
    EXPECT_EQ(&UseSound(7), &sfxplace);
    EXPECT_EQ(&UseSound(8), &sfxhotbar);
    EXPECT_EQ(&UseSound(257), &sfxshovel);
    EXPECT_EQ(&UseSound(259), &sfxshovel);
    EXPECT_EQ(&UseSound(274), &sfxhotbar);
    UseSound(258).Play();
    EXPECT_EQ(headless::SoundsPlayed(), std::vector<std::string>{SHOVEL});
}

TEST_F(ItemsTest, SlashTintsByItem) {
    struct Case {
        uint16_t id;
        Colour colour;
    } cases[] = {
        {0, DEFSLASH},      {1, DEFSLASH},      {255, DEFSLASH},    {256, {192, 96, 48}}, {257, {128, 64, 32}},
        {258, {128, 64, 32}}, {259, {128, 64, 32}}, {260, DEFSLASH}, {272, DEFSLASH},     {274, DEFSLASH},
        {600, DEFSLASH},
    };
    for (const Case& c : cases) EXPECT_EQ(SlashOf(c.id), c.colour) << c.id;
}

// DrawAmount's colour rule (192, 192, 255; then digging 192, 255, 192; then
// hitting 255, 192, 192) and the amount colour column agree for every id
// whose amount can be drawn.
TEST_F(ItemsTest, AmountColoursFollowDrawAmountsRule) {
    for (int id = 1; id <= 65535; ++id) {
        const uint16_t i = (uint16_t)id;
        Colour rule = PLAIN;
        if (DigPower(i) > 0) rule = TOOL;
        if (WeaponPower(i) > 0) rule = WEAPON;
        ASSERT_EQ(AmountOf(i), rule) << id;
    }
}

// Shops: the price is the whole part of the float product ItemValue x
// amount; the collector pays a quarter of it, truncated.
TEST_F(ItemsTest, ValuesGiveTheShopPrices) {
    struct Case {
        uint16_t id, amount;
        int price, collector;
    } cases[] = {
        {256, 100, 500, 125}, {257, 450, 225, 56}, {258, 320, 240, 60}, {259, 200, 250, 62},
        {274, 1, 400, 100},   {273, 1, 200, 50},   {272, 1, 40, 10},    {3, 10, 100, 25},
        {7, 50, 0, 0},        {0, 5, 0, 0},
    };
    for (const Case& c : cases) {
        const float product = ItemValue(c.id) * (float)c.amount;
        EXPECT_EQ((int32_t)product, c.price) << c.id;
        EXPECT_EQ((int32_t)(product / 4), c.collector) << c.id;
    }
}

// ---------------------------------------------------------------- DrawAmount

namespace {
// A stand-in font whose every cell is a solid white 4 x 5 block, so the
// place and colour of each character show exactly; the real font comes back
// afterwards.
class AmountTest : public ItemsTest {
protected:
    static constexpr uint32_t CLEAR = 0x010203;
    void SetUp() override {
        ItemsTest::SetUp();
        font = std::make_unique<SolidFont>();
        SetClsColor(1, 2, 3);
        Cls();
    }
    void TearDown() override {
        font.reset();
        ItemsTest::TearDown();
    }
    std::unique_ptr<SolidFont> font;
    static uint32_t Rgb(Colour c) {
        return (uint32_t)(std::get<0>(c) << 16 | std::get<1>(c) << 8 | std::get<2>(c));
    }
    static uint32_t Inverse(Colour c) {
        return Rgb({255 - std::get<0>(c), 255 - std::get<1>(c), 255 - std::get<2>(c)});
    }
    // The covered columns of row y, as [first, last]; {-1, -1} when none.
    static std::pair<int, int> Span(int y) {
        int first = -1, last = -1;
        for (int x = 0; x < SCREENW; ++x)
            if (headless::Pixel(x, y) != CLEAR) {
                if (first < 0) first = x;
                last = x;
            }
        return {first, last};
    }
    static bool FrameClear() {
        for (int y = 0; y < SCREENH; ++y)
            if (Span(y).first >= 0) return false;
        return true;
    }
    static Colour Current() {
        int r, g, b;
        CurrentColor(r, g, b);
        return {r, g, b};
    }
};
}  // namespace

TEST_F(AmountTest, NothingForTheEmptyCellOrAnAmountBelowTwo) {
    struct Case {
        uint16_t id, amount;
    } cases[] = {{0, 5}, {0, 0}, {0, 65535}, {1, 1}, {1, 0}, {256, 1}, {272, 1}, {600, 0}};
    for (const Case& c : cases) {
        SetColor(10, 20, 30);
        DrawAmount(c.id, c.amount, 100, 100, 0);
        EXPECT_TRUE(FrameClear()) << c.id << " x" << c.amount;
        EXPECT_EQ(Current(), Colour(10, 20, 30)) << c.id << " x" << c.amount;  // untouched
    }
}

TEST_F(AmountTest, ColourByWhatTheItemDoesWithInverseShadowAndWhiteAfterwards) {
    struct Case {
        uint16_t id;
        Colour colour;
    } cases[] = {
        {1, PLAIN},   {11, PLAIN},  {255, PLAIN}, {256, WEAPON}, {257, TOOL}, {258, TOOL},
        {259, TOOL},  {260, PLAIN}, {272, PLAIN}, {273, PLAIN},  {274, PLAIN}, {511, PLAIN},
        {512, PLAIN}, {65535, PLAIN},
    };
    for (const Case& c : cases) {
        Cls();
        SetColor(10, 20, 30);
        DrawAmount(c.id, 2, 100, 50, 0);
        // "2": one cell at (100, 50), its shadow one pixel down and right.
        EXPECT_EQ(headless::Pixel(100, 50), Rgb(c.colour)) << c.id;
        EXPECT_EQ(headless::Pixel(103, 54), Rgb(c.colour)) << c.id;
        EXPECT_EQ(headless::Pixel(104, 55), Inverse(c.colour)) << c.id;
        EXPECT_EQ(headless::Pixel(104, 50), CLEAR) << c.id;
        EXPECT_EQ(headless::Pixel(99, 50), CLEAR) << c.id;
        EXPECT_EQ(Current(), Colour(255, 255, 255)) << c.id;
    }
}

TEST_F(AmountTest, AlignmentPlacesTheDigits) {
    struct Case {
        uint16_t amount;
        int alignment;
        int left, right;  // the text's columns (the shadow reaches one further)
    } cases[] = {
        {2, 0, 100, 103},      {45, 0, 100, 107},     {9999, 0, 100, 115},  {65535, 0, 100, 119},
        {2, 2, 96, 99},        {45, 2, 92, 99},       {9999, 2, 84, 99},    {65535, 2, 80, 99},
        {45, 1, 96, 103},      {123, 1, 94, 105},
    };
    for (const Case& c : cases) {
        Cls();
        DrawAmount(3, c.amount, 100, 60, c.alignment);
        EXPECT_EQ(Span(60), std::make_pair(c.left, c.right)) << c.amount << " align " << c.alignment;
        EXPECT_EQ(Span(65), std::make_pair(c.left + 1, c.right + 1)) << c.amount << " align " << c.alignment;
        EXPECT_EQ(headless::Pixel(c.left, 60), Rgb(PLAIN));
        EXPECT_EQ(headless::Pixel(c.right + 1, 60), CLEAR);  // the shadow starts a row lower
        EXPECT_EQ(headless::Pixel(c.right + 1, 61), Inverse(PLAIN));
    }
}

// With the real font, DrawAmount draws exactly what DrawShadowText draws for
// the amount in decimal, in the item's colour.
TEST_F(AmountTest, TheRealFontShowsTheDecimalAmount) {
    ASSERT_TRUE(gfxfont.LoadAnim("gfx\\font.png", 4, 5, 0, 128));
    struct Case {
        uint16_t id, amount;
        int alignment;
        Colour colour;
        std::string text;
    } cases[] = {
        {1, 9999, 0, PLAIN, "9999"},   {256, 100, 2, WEAPON, "100"}, {257, 450, 0, TOOL, "450"},
        {259, 65535, 1, TOOL, "65535"}, {3, 10, 2, PLAIN, "10"},     {2, 2, 0, PLAIN, "2"},
    };
    for (const Case& c : cases) {
        Cls();
        DrawAmount(c.id, c.amount, 200, 100, c.alignment);
        std::vector<uint32_t> drawn(framebuffer, framebuffer + SCREENW * SCREENH);
        Cls();
        SetColor(std::get<0>(c.colour), std::get<1>(c.colour), std::get<2>(c.colour));
        DrawShadowText(c.text, 200, 100, c.alignment, 0, 0);
        std::vector<uint32_t> expected(framebuffer, framebuffer + SCREENW * SCREENH);
        EXPECT_TRUE(drawn == expected) << c.text;
        EXPECT_FALSE(FrameClear());
    }
}
