// The catalogue of built-in pictures and sounds, in loading order.
#include "base/assets.h"

TImage gfxoverworld, gfxblock, gfxblockdmg, gfxitem, gfxplayericon, gfxplayer, gfxslash, gfxfont, gfxarrow, gfxheart,
    gfxshield, gfxgold, gfxexp, gfxbag, gfxbaddie, gfxtrash, gfxnpc, gfxvillage, gfxenemy0, gfxenemy1, gfxenemy2;

TSound sfxslash, sfxoof, sfxjump, sfxland, sfxenemyhit, sfxhotbar, sfxplace, sfxmenu, sfxswap, sfxshovel, sfxbreak,
    sfxraredrop, sfxvanquish, sfxdiscard, sfxinventory, sfxdeath, sfxdeath2, sfxtransin, sfxtransout, sfxapget,
    sfxaplose, sfxbonus, sfxmoneyget, sfxnope;

const PictureEntry picturecatalogue[21] = {
    {&gfxoverworld, "gfx\\overworld.png", 16, 16, 256},
    {&gfxblock, "gfx\\block.png", 16, 16, 256},
    {&gfxblockdmg, "gfx\\blockdmg.png", 16, 16, 4},
    {&gfxitem, "gfx\\item.png", 16, 16, 256},
    {&gfxplayericon, "gfx\\playericon.png", 16, 16, 4},
    {&gfxplayer, "gfx\\player.png", 16, 16, 16},
    {&gfxslash, "gfx\\slash.png", 16, 16, 4},
    {&gfxfont, "gfx\\font.png", 4, 5, 128},
    {&gfxarrow, "gfx\\arrow.png", 8, 8, 4},
    {&gfxheart, "gfx\\heart.png", 0, 0, 1},
    {&gfxshield, "gfx\\shield.png", 0, 0, 1},
    {&gfxgold, "gfx\\gold.png", 0, 0, 1},
    {&gfxexp, "gfx\\exp.png", 0, 0, 1},
    {&gfxbag, "gfx\\bag.png", 0, 0, 1},
    {&gfxbaddie, "gfx\\baddie.png", 0, 0, 1},
    {&gfxtrash, "gfx\\trash.png", 0, 0, 1},
    {&gfxnpc, "gfx\\npc.png", 16, 16, 8},
    {&gfxvillage, "gfx\\village.png", 0, 0, 1},
    {&gfxenemy0, "gfx\\enemy0.png", 8, 8, 2},
    {&gfxenemy1, "gfx\\enemy1.png", 12, 12, 2},
    {&gfxenemy2, "gfx\\enemy2.png", 16, 12, 4},
};

const SoundEntry soundcatalogue[24] = {
    {&sfxslash, "sfx\\slash.wav"},         {&sfxoof, "sfx\\oof.wav"},
    {&sfxjump, "sfx\\jump.wav"},           {&sfxland, "sfx\\land.wav"},
    {&sfxenemyhit, "sfx\\enemyhit.wav"},   {&sfxhotbar, "sfx\\hotbar.wav"},
    {&sfxplace, "sfx\\place.wav"},         {&sfxmenu, "sfx\\menu.wav"},
    {&sfxswap, "sfx\\swap.wav"},           {&sfxshovel, "sfx\\shovel.wav"},
    {&sfxbreak, "sfx\\break.wav"},         {&sfxraredrop, "sfx\\raredrop.wav"},
    {&sfxvanquish, "sfx\\vanquish.wav"},   {&sfxdiscard, "sfx\\discard.wav"},
    {&sfxinventory, "sfx\\inventory.wav"}, {&sfxdeath, "sfx\\death.wav"},
    {&sfxdeath2, "sfx\\death2.wav"},       {&sfxtransin, "sfx\\transin.wav"},
    {&sfxtransout, "sfx\\transout.wav"},   {&sfxapget, "sfx\\apget.wav"},
    {&sfxaplose, "sfx\\aplose.wav"},       {&sfxbonus, "sfx\\bonus.wav"},
    {&sfxmoneyget, "sfx\\moneyget.wav"},   {&sfxnope, "sfx\\nope.wav"},
};

bool LoadAssets() {
    bool ok = true;
    for (const PictureEntry& p : picturecatalogue) {
        if (p.cellw == 0)
            ok = p.image->Load(p.path) && ok;
        else
            ok = p.image->LoadAnim(p.path, p.cellw, p.cellh, 0, p.frames) && ok;
    }
    for (const SoundEntry& s : soundcatalogue) s.sound->Load(s.path);
    return ok;
}
