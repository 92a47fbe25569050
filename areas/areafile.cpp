// Area files. Width and height, the blocks row by row, then the villagers:
// 12 + W x H + 11 x n bytes, little-endian, no header.
#include "areas/areafile.h"

#include "areas/areas.h"
#include "areas/npc.h"
#include "overworld/overworld.h"
#include "base/base.h"

namespace {
constexpr int64_t NPCRECORD = 11;
// Far more villagers than any area holds (a house every few tiles); a file
// claiming more is nonsense, and would only fill memory and slow every frame.
constexpr int32_t MOSTNPCS = 4096;

// The blocks of a file being read, kept apart until the whole file has been
// found sound, so a damaged file changes nothing of the resident area.
uint8_t incoming[AREAMAX * AREAMAX];

// Reads and checks the file up to its villagers: sizes the grids can hold,
// a count that is not negative (nor absurd), and a length exactly as announced.
bool ReadSound(TStream& f, int32_t& w, int32_t& h, int32_t& n) {
    const int64_t size = (int64_t)f.Size();
    if (size < 12) return false;
    w = f.ReadInt();
    h = f.ReadInt();
    if (w < 1 || w > AREAMAX || h < 1 || h > AREAMAX) return false;
    const int64_t blocks = (int64_t)w * h;
    if (size < 12 + blocks) return false;
    f.ReadBytes(incoming, (size_t)blocks);
    n = f.ReadInt();
    return n >= 0 && n <= MOSTNPCS && !f.Failed() && size == 12 + blocks + NPCRECORD * n;
}

// A damaged file is not overwritten by the area made in its place: it is
// kept beside it, replacing an older one kept the same way.
void KeepAside(const std::string& path) {
    const std::string from = SystemPath(path), to = from + ".bad";
    if (MoveAside(path))
        PrintError("area file " + from + " is damaged; kept as " + to + ", the area is made anew");
    else
        PrintError("area file " + from + " is damaged and could not be kept aside; the area is made anew");
}
}  // namespace

std::string AreaPath(int32_t ox, int32_t oy) {
    return "worlds\\" + WORLDNAME + "\\" + std::to_string(ox) + "," + std::to_string(oy);
}

namespace {
// An area made afresh is stored at once (a passing visit's, temparea, never).
void MakeArea(int32_t ox, int32_t oy, int32_t width, int32_t height) {
    if (GenerateArea(ox, oy, width, height)) SaveArea(ox, oy);
}
}  // namespace

void LoadArea(int32_t ox, int32_t oy, int32_t width, int32_t height) {
    const std::string path = AreaPath(ox, oy);
    auto f = OpenRead(path);
    if (!f) {
        // Something that is not a file in the area file's place is damage too.
        if (PathExists(path)) KeepAside(path);
        MakeArea(ox, oy, width, height);
        return;
    }
    // Read whole before the notice: the notice is for an area that loads.
    if (!ReadArea(*f)) {
        f.reset();
        KeepAside(path);
        MakeArea(ox, oy, width, height);
        return;
    }
    ShowNotice("Loading Area");
}

bool ReadArea(TStream& f) {
    int32_t w = 0, h = 0, n = 0;
    if (!ReadSound(f, w, h, n)) {
        f.Close();
        return false;
    }
    areawidth = w;
    areaheight = h;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) areatiles[x][y] = incoming[(size_t)y * w + x];
    for (int32_t i = 0; i < n; ++i) {
        NPC* npc = npcs.AddLast(new NPC);
        npc->x = f.ReadInt();
        npc->y = f.ReadInt();
        const uint8_t kind = f.ReadByte();
        npc->SetKind(kind);
        // The stored line replaces the one SetKind drew: a villager always
        // says the same thing.
        npc->dialogue = f.ReadShort();
    }
    f.Close();
    return true;
}

bool SaveArea(int32_t ox, int32_t oy) {
    if (temparea == 1) return true;
    auto f = SafeWorldName(WORLDNAME) ? OpenWrite(AreaPath(ox, oy)) : nullptr;
    ShowNotice("Saving Area");
    if (!f) {
        ShowHeldNotice(SAVEFAILED);
        return false;
    }
    f->WriteInt(areawidth);
    f->WriteInt(areaheight);
    for (int32_t y = 0; y < areaheight; ++y)
        for (int32_t x = 0; x < areawidth; ++x) f->WriteByte(areatiles[x][y]);
    f->WriteInt((int32_t)npcs.Count());
    npcs.ForEach([&](NPC* npc) {
        f->WriteInt(npc->x);
        f->WriteInt(npc->y);
        f->WriteByte(npc->kind);
        f->WriteShort(npc->dialogue);
    });
    if (f->Close()) return true;
    ShowHeldNotice(SAVEFAILED);
    return false;
}
