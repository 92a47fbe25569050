// The world's two files: "overworld" (both map layers, tile by tile in rows,
// then the home tile) and "player" (the player's lasting state, the marker
// and the inventory). Fixed sizes, little-endian, no header.
//
// A file of any other size is damaged. Such a world is not loaded and nothing
// is written into its folder, so the player's files stay as they were for
// whoever can mend them; a regenerated world never replaces a damaged one.
#include <cstdio>

#include "creatures/creatures.h"
#include "overworld/overworld.h"
#include "platform/platform.h"
#include "base/base.h"

namespace {
// The map's tile records, gathered whole so a save is one write.
uint8_t tilerecords[2 * WORLDW * WORLDH];

std::string OverworldPath() { return WorldFolder() + "\\overworld"; }
std::string PlayerPath() { return WorldFolder() + "\\player"; }

void WriteOverworld(TStream& s) {
    uint8_t* p = tilerecords;
    for (int32_t y = 0; y < WORLDH; ++y)
        for (int32_t x = 0; x < WORLDW; ++x) {
            *p++ = terrain[x][y];
            *p++ = encountertype[x][y];
        }
    s.WriteBytes(tilerecords, sizeof tilerecords);
    s.WriteInt(homex);
    s.WriteInt(homey);
}

void WritePlayer(TStream& s) {
    s.WriteInt(maxHP);
    s.WriteInt(maxAP);
    s.WriteInt(AP);
    s.WriteByte(APgain);
    s.WriteInt(gold);
    s.WriteByte(alchemy);
    s.WriteByte(level);
    s.WriteInt(player::exp);
    s.WriteInt(marker.x);
    s.WriteInt(marker.y);
    s.WriteByte(marker.f);
    s.WriteByte(marker.moving);
    for (int r = 0; r < INVROWS; ++r)
        for (int c = 0; c < INVCOLS; ++c) {
            s.WriteShort(invitem[c][r]);
            s.WriteShort(invamt[c][r]);
        }
}

// The file may exist and still not open (a folder of that name, no right to
// read it): that world is damaged, not new.
bool Listed(const std::string& name) {
    for (const std::string& entry : ListDir(WorldFolder()))
        if (entry == name) return true;
    return false;
}

int32_t IntAt(const uint8_t* p) { return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24); }
}  // namespace

std::string WorldFolder() { return "worlds\\" + WORLDNAME; }

bool SaveWorld() {
    PrintLine("saving world: " + WORLDNAME);
    ShowNotice("Saving World");
    bool saved = false;
    if (SafeWorldName(WORLDNAME)) {
        MakeDir(WorldFolder());
        std::unique_ptr<TStream> map = OpenWrite(OverworldPath());
        std::unique_ptr<TStream> player = OpenWrite(PlayerPath());
        // The map and the player are one save: a cleared tile is never kept
        // without the experience it paid, nor the other way round. Either
        // file failing leaves both old ones.
        if (map && player) {
            WriteOverworld(*map);
            WritePlayer(*player);
            saved = CloseTogether(WorldFolder(), {map.get(), player.get()});
        }
    }
    if (!saved) {
        ShowHeldNotice(SAVEFAILED);
        return false;
    }
    PrintLine("world saved: " + WORLDNAME);
    return true;
}

bool LoadWorld() {
    if (!SafeWorldName(WORLDNAME)) return false;
    // A save cut short is finished (or dropped, when it never committed)
    // before anything is read, so the pair read is always one save's.
    if (!RecoverSaves(WorldFolder())) return false;
    std::unique_ptr<TStream> map = OpenRead(OverworldPath());
    if (!map) {
        if (Listed("overworld")) return false;
        // Saved as soon as it is made, before its first steps are played.
        GenerateWorld();
        SaveWorld();
        BeginAtHome();
        return true;
    }
    ShowNotice("Loading World");
    std::unique_ptr<TStream> player = OpenRead(PlayerPath());
    if (!player && Listed("player")) return false;
    return ReadWorld(*map, player.get());
}

bool ReadWorld(TStream& map, TStream* player) {
    if (map.Size() != (size_t)OVERWORLDFILESIZE) return false;
    if (player && player->Size() != (size_t)PLAYERFILESIZE) return false;

    // Everything is checked before anything is taken in, so a refused world
    // leaves the one in memory whole.
    map.ReadBytes(tilerecords, sizeof tilerecords);
    const int32_t hx = map.ReadInt();
    const int32_t hy = map.ReadInt();
    map.Close();
    // Home and the marker are used as tile coordinates from here on; files
    // that put either off the map are not the game's.
    if (!InWorld(hx, hy)) return false;
    uint8_t fields[PLAYERFILESIZE];
    if (player) {
        player->ReadBytes(fields, sizeof fields);
        player->Close();
        if (!InWorld(IntAt(fields + 23), IntAt(fields + 27))) return false;
    }

    const uint8_t* p = tilerecords;
    for (int32_t y = 0; y < WORLDH; ++y)
        for (int32_t x = 0; x < WORLDW; ++x) {
            terrain[x][y] = *p++;
            encountertype[x][y] = *p++;
        }
    homex = hx;
    homey = hy;
    if (!player) {
        NewPlayer();
        return true;
    }
    // The first three are written as whole words but are bytes in play.
    maxHP = (uint8_t)IntAt(fields + 0);
    maxAP = (uint8_t)IntAt(fields + 4);
    AP = (uint8_t)IntAt(fields + 8);
    APgain = fields[12];
    gold = IntAt(fields + 13);
    alchemy = fields[17];
    level = fields[18];
    player::exp = IntAt(fields + 19);
    marker.x = IntAt(fields + 23);
    marker.y = IntAt(fields + 27);
    marker.f = fields[31];
    marker.moving = fields[32];
    for (int r = 0; r < INVROWS; ++r)
        for (int c = 0; c < INVCOLS; ++c) {
            const uint8_t* cell = fields + 33 + 4 * (5 * r + c);
            invitem[c][r] = (uint16_t)(cell[0] | cell[1] << 8);
            invamt[c][r] = (uint16_t)(cell[2] | cell[3] << 8);
        }
    return true;
}
