// The built-in pictures and sounds, one global each, loaded once at start-up.
#pragma once

#include "engine/draw.h"
#include "platform/platform.h"

extern TImage gfxoverworld, gfxblock, gfxblockdmg, gfxitem, gfxplayericon, gfxplayer, gfxslash, gfxfont, gfxarrow,
    gfxheart, gfxshield, gfxgold, gfxexp, gfxbag, gfxbaddie, gfxtrash, gfxnpc, gfxvillage, gfxenemy0, gfxenemy1,
    gfxenemy2;

extern TSound sfxslash, sfxoof, sfxjump, sfxland, sfxenemyhit, sfxhotbar, sfxplace, sfxmenu, sfxswap, sfxshovel,
    sfxbreak, sfxraredrop, sfxvanquish, sfxdiscard, sfxinventory, sfxdeath, sfxdeath2, sfxtransin, sfxtransout,
    sfxapget, sfxaplose, sfxbonus, sfxmoneyget, sfxnope;

// One entry of the catalogue of pictures: cells of 0 mean the whole picture.
struct PictureEntry {
    TImage* image;
    const char* path;
    int cellw, cellh, frames;
};
struct SoundEntry {
    TSound* sound;
    const char* path;
};
extern const PictureEntry picturecatalogue[21];
extern const SoundEntry soundcatalogue[24];

// Loads every picture, then every sound, in catalogue order; false when one
// is missing or damaged.
bool LoadAssets();
