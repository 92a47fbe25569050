// What every villager, collector and shopkeeper does on its own.
#include "areas/npc.h"

#include "areas/dialogue.h"
#include "areas/trade.h"
#include "overworld/overworld.h"
#include "engine/draw.h"
#include "engine/dice.h"
#include "base/assets.h"
#include "base/base.h"

int32_t NPC::Act(int32_t px, int32_t /*py*/) {
    if (px < x) f = 0;
    if (px > x) f = 1;
    return 0;
}

int32_t NPC::SetKind(uint8_t k) {
    if (k > npckinds::shopkeeper) k = npckinds::villager;
    kind = k;
    switch (k) {
    case npckinds::villager: dialogue = (uint16_t)Rand(0, 8); break;
    case npckinds::collector: dialogue = (uint16_t)Rand(256, 264); break;
    case npckinds::shopkeeper: {
        dialogue = (uint16_t)Rand(512, 521);
        // Sword, shovel, axe, pickaxe, each with its full uses.
        constexpr uint16_t wares[4] = {256, 257, 258, 259}, uses[4] = {100, 450, 320, 200};
        for (int i = 0; i < 4; ++i) {
            stock[i] = wares[i];
            amt[i] = uses[i];
        }
        break;
    }
    }
    return 0;
}

int32_t NPC::Draw() {
    SetColor(255, 255, 255);
    DrawSprite(gfxnpc, x, y, 2 * kind + f);
    return 0;
}

std::string NPC::GetText() const { return DialogueLine(dialogue, TerrainAt(marker.x, marker.y)); }

int32_t NPC::DrawDialogue() {
    if (speaking == 0) return 0;
    const std::string t = GetText();
    const int32_t w = 4 * (int32_t)t.size();
    SetColor(192, 255, 192);
    DrawRect(x + 5 - w / 2, y - 11, w + 4, 10);
    SetColor(32, 24, 16);
    DrawRect(x + 6 - w / 2, y - 10, w + 2, 8);
    SetColor(192, 255, 192);
    DrawShadowText(t, x + 7, y - 9, 1, 0, 0);
    return 0;
}

int32_t NPC::Vend(entity& player) { return ShopScreen(*this, player); }

int32_t NPC::Buy(entity& player) { return CollectorScreen(*this, player); }
