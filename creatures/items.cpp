// The item table and the lookups that read it; icons and amounts on screen.
#include "creatures/items.h"

#include <string>

#include "base/assets.h"
#include "base/base.h"

namespace {
constexpr ItemKind::Colour SLASH = {192, 192, 160};  // bare hand, blocks, drops, the rest
constexpr ItemKind::Colour SWORDSLASH = {192, 96, 48};
constexpr ItemKind::Colour TOOLSLASH = {128, 64, 32};
constexpr ItemKind::Colour PLAINAMOUNT = {192, 192, 255};
constexpr ItemKind::Colour TOOLAMOUNT = {192, 255, 192};    // digs
constexpr ItemKind::Colour WEAPONAMOUNT = {255, 192, 192};  // hits
}  // namespace

// Block rows carry the value column of the block table (equal to the
// block's hardness). The bare hand's amount colour is never drawn; it is the
// one DrawAmount's rule would give.
constinit const ItemKind itemkinds[] = {
    // first, last, name, icon picture, frame base, weapon, dig, stack, value, use sound, slash, amount
    {0, 0, "bare hand", &gfxblock, 0, 1, 1, 0, 0.0f, &sfxslash, SLASH, WEAPONAMOUNT},
    {1, 1, "grass", &gfxblock, 0, 0, 0, 9999, 4.0f, &sfxplace, SLASH, PLAINAMOUNT},
    {2, 2, "dirt", &gfxblock, 0, 0, 0, 9999, 2.0f, &sfxplace, SLASH, PLAINAMOUNT},
    {3, 3, "stone", &gfxblock, 0, 0, 0, 9999, 10.0f, &sfxplace, SLASH, PLAINAMOUNT},
    {4, 4, "wood", &gfxblock, 0, 0, 0, 9999, 12.0f, &sfxplace, SLASH, PLAINAMOUNT},
    {5, 5, "leaves", &gfxblock, 0, 0, 0, 9999, 3.0f, &sfxplace, SLASH, PLAINAMOUNT},
    {6, 6, "bush", &gfxblock, 0, 0, 0, 9999, 6.0f, &sfxplace, SLASH, PLAINAMOUNT},
    {7, 7, "bedrock", &gfxblock, 0, 0, 0, 9999, 0.0f, &sfxplace, SLASH, PLAINAMOUNT},
    {8, 8, "sand", &gfxblock, 0, 0, 0, 9999, 2.0f, &sfxhotbar, SLASH, PLAINAMOUNT},
    {9, 9, "sandstone", &gfxblock, 0, 0, 0, 9999, 5.0f, &sfxhotbar, SLASH, PLAINAMOUNT},
    {10, 10, "brick", &gfxblock, 0, 0, 0, 9999, 15.0f, &sfxhotbar, SLASH, PLAINAMOUNT},
    {11, 11, "planks", &gfxblock, 0, 0, 0, 9999, 9.0f, &sfxhotbar, SLASH, PLAINAMOUNT},
    {12, 255, "block", &gfxblock, 0, 0, 0, 9999, 0.0f, &sfxhotbar, SLASH, PLAINAMOUNT},
    {256, 256, "sword", &gfxitem, 256, 2, 0, 0, 5.0f, &sfxslash, SWORDSLASH, WEAPONAMOUNT},
    {257, 257, "shovel", &gfxitem, 256, 0, 2, 0, 0.5f, &sfxshovel, TOOLSLASH, TOOLAMOUNT},
    {258, 258, "axe", &gfxitem, 256, 0, 3, 0, 0.75f, &sfxshovel, TOOLSLASH, TOOLAMOUNT},
    {259, 259, "pickaxe", &gfxitem, 256, 0, 5, 0, 1.25f, &sfxshovel, TOOLSLASH, TOOLAMOUNT},
    {260, 271, "no item", &gfxitem, 256, 0, 0, 0, 0.0f, &sfxhotbar, SLASH, PLAINAMOUNT},
    {272, 272, "slime drop", &gfxitem, 256, 0, 0, 1, 40.0f, &sfxhotbar, SLASH, PLAINAMOUNT},
    {273, 273, "big slime drop", &gfxitem, 256, 0, 0, 1, 200.0f, &sfxhotbar, SLASH, PLAINAMOUNT},
    {274, 274, "scorpion drop", &gfxitem, 256, 0, 0, 1, 400.0f, &sfxhotbar, SLASH, PLAINAMOUNT},
    {275, 511, "no item", &gfxitem, 256, 0, 0, 0, 0.0f, &sfxhotbar, SLASH, PLAINAMOUNT},
    {512, 65535, "no item", nullptr, 0, 0, 0, 0, 0.0f, &sfxhotbar, SLASH, PLAINAMOUNT},
};
constinit const int ITEMKINDS = (int)(sizeof itemkinds / sizeof itemkinds[0]);

const ItemKind& ItemKindOf(uint16_t id) {
    for (int i = 0; i < ITEMKINDS - 1; ++i)
        if (id <= itemkinds[i].last) return itemkinds[i];
    return itemkinds[ITEMKINDS - 1];
}

const TImage* ItemImage(uint16_t id) { return ItemKindOf(id).image; }

int32_t ItemFrame(uint16_t id) {
    const ItemKind& k = ItemKindOf(id);
    return k.image ? id - k.framebase : 0;
}

int32_t DigPower(uint16_t id) { return ItemKindOf(id).digpower; }

const TSound& UseSound(uint16_t id) { return *ItemKindOf(id).usesound; }

void SlashTint(uint16_t id) {
    const ItemKind::Colour c = ItemKindOf(id).slash;
    SetColor(c.r, c.g, c.b);
}

void DrawAmount(uint16_t id, uint16_t amount, int x, int y, int alignment) {
    if (id == 0 || amount < 2) return;
    const ItemKind::Colour c = ItemKindOf(id).amount;
    SetColor(c.r, c.g, c.b);
    DrawShadowText(std::to_string(amount), x, y, alignment, 0, 0);
    SetColor(255, 255, 255);
}

void DrawItemIcon(uint16_t id, int x, int y) {
    if (const TImage* image = ItemImage(id)) DrawSprite(*image, x, y, ItemFrame(id));
}
