// The built-in pictures and sounds: every file present in the program, in
// the right format, size and cells, and drawn from the one palette.
#include <fstream>
#include <set>
#include <sstream>

#include "shell/assets.h"
#include "testutil.h"

namespace {
uint32_t BigEndian(const unsigned char* p) { return (uint32_t)p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

struct PngHeader {
    uint32_t w = 0, h = 0;
    int depth = 0, colourtype = 0;
    std::vector<uint32_t> palette;
};

// Reads the header and palette chunks of a PNG held in memory.
PngHeader ReadHeader(const EmbeddedFile* f) {
    PngHeader h;
    size_t at = 8;
    while (at + 8 <= f->size) {
        uint32_t len = BigEndian(f->data + at);
        std::string type((const char*)f->data + at + 4, 4);
        const unsigned char* body = f->data + at + 8;
        if (at + 12 + len > f->size) break;
        if (type == "IHDR") {
            h.w = BigEndian(body);
            h.h = BigEndian(body + 4);
            h.depth = body[8];
            h.colourtype = body[9];
        } else if (type == "PLTE") {
            for (uint32_t i = 0; i + 2 < len; i += 3) h.palette.push_back(body[i] << 16 | body[i + 1] << 8 | body[i + 2]);
        }
        at += 12 + len;
    }
    return h;
}

std::set<uint32_t> SharedPalette() {
    std::set<uint32_t> colours;
    std::ifstream in(std::string(QUILLMOOR_SOURCE_DIR) + "/art/gfx/palette.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key, hex;
        if (!(words >> key >> hex) || key[0] == ';') continue;
        colours.insert((uint32_t)std::stoul(hex, nullptr, 16));
    }
    return colours;
}

class CatalogueTest : public GameTest {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadAssets()); }
};
}  // namespace

TEST_F(CatalogueTest, PicturesHaveTheirSizesCellsAndFormats) {
    struct Expect {
        int w, h, frames;
    };
    const Expect expect[21] = {{256, 256, 256}, {256, 256, 256}, {32, 32, 4}, {256, 256, 256}, {32, 32, 4},
                               {64, 64, 16},    {32, 32, 4},     {64, 40, 128}, {16, 16, 4},   {8, 8, 1},
                               {8, 8, 1},       {8, 8, 1},       {8, 8, 1},     {8, 8, 1},     {8, 8, 1},
                               {16, 16, 1},     {32, 64, 8},     {16, 16, 1},   {16, 8, 2},    {24, 12, 2},
                               {32, 24, 4}};
    const std::set<uint32_t> palette = SharedPalette();
    ASSERT_GE(palette.size(), 16u);
    ASSERT_LE(palette.size(), 32u);
    EXPECT_EQ(palette.count(0), 0u) << "black is only ever a hole";
    for (int i = 0; i < 21; ++i) {
        const PictureEntry& p = picturecatalogue[i];
        SCOPED_TRACE(p.path);
        const EmbeddedFile* f = FindEmbedded(p.path);
        ASSERT_NE(f, nullptr);
        PngHeader h = ReadHeader(f);
        EXPECT_EQ((int)h.w, expect[i].w);
        EXPECT_EQ((int)h.h, expect[i].h);
        const TImage& img = *p.image;
        EXPECT_EQ(img.frames, expect[i].frames);
        EXPECT_EQ(img.cellw * (p.cellw ? expect[i].w / p.cellw : 1), expect[i].w);
        if (std::string(p.path) == "gfx\\font.png") {
            EXPECT_EQ(h.colourtype, 3);
            EXPECT_EQ(h.depth, 1);
            EXPECT_EQ(h.palette, (std::vector<uint32_t>{0x000000, 0xFFFFFF}));
            continue;
        }
        EXPECT_EQ(h.colourtype, 2) << "8-bit RGB without alpha";
        EXPECT_EQ(h.depth, 8);
        for (uint32_t px : img.pixels) {
            if (px == 0) continue;
            ASSERT_EQ(palette.count(px & 0xFFFFFF), 1u) << std::hex << (px & 0xFFFFFF);
        }
    }
}

TEST_F(CatalogueTest, FramesAreCutInReadingOrder) {
    struct Case {
        const char* path;
        const TImage* sheet;
        int frame, cellx, celly;
        bool drawn;  // the cell has something in it
    } cases[] = {
        {"gfx\\player.png", &gfxplayer, 15, 48, 48, false},
        {"gfx\\player.png", &gfxplayer, 11, 48, 32, true},
        {"gfx\\npc.png", &gfxnpc, 4, 0, 32, true},
        {"gfx\\enemy2.png", &gfxenemy2, 3, 16, 12, true},
        {"gfx\\font.png", &gfxfont, 65, 4, 20, true},
    };
    for (const Case& c : cases) {
        TImage whole;
        ASSERT_TRUE(whole.Load(c.path));
        const uint32_t* cell = c.sheet->Frame(c.frame);
        int opaque = 0;
        for (int y = 0; y < c.sheet->cellh; ++y)
            for (int x = 0; x < c.sheet->cellw; ++x) {
                ASSERT_EQ(cell[y * c.sheet->cellw + x], whole.pixels[(c.celly + y) * whole.cellw + c.cellx + x])
                    << c.path << " frame " << c.frame;
                opaque += cell[y * c.sheet->cellw + x] != 0;
            }
        EXPECT_EQ(opaque > 0, c.drawn) << c.path << " frame " << c.frame;
    }
}

TEST_F(CatalogueTest, SoundsAreMono16BitAt44100) {
    for (const SoundEntry& s : soundcatalogue) {
        SCOPED_TRACE(s.path);
        const EmbeddedFile* f = FindEmbedded(s.path);
        ASSERT_NE(f, nullptr);
        ASSERT_GE(f->size, 44u);
        const unsigned char* d = f->data;
        EXPECT_EQ(std::string((const char*)d, 4), "RIFF");
        EXPECT_EQ(std::string((const char*)d + 8, 8), "WAVEfmt ");
        auto le16 = [&](int at) { return d[at] | d[at + 1] << 8; };
        auto le32 = [&](int at) { return (uint32_t)(le16(at) | le16(at + 2) << 16); };
        EXPECT_EQ(le16(20), 1);      // PCM
        EXPECT_EQ(le16(22), 1);      // mono
        EXPECT_EQ(le32(24), 44100u);
        EXPECT_EQ(le16(34), 16);
        EXPECT_EQ(s.sound->name, s.path);
    }
}
