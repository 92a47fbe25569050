// The built-in pictures and sounds: every file present in the program, in
// the right format, size and cells, and drawn from the one palette.
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "base/assets.h"
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
    // The catalogue as the artwork was drawn for it: a picture used whole has
    // one cell the size of the picture.
    const struct {
        const TImage* image;
        const char* path;
        int w, h, cellw, cellh, frames;
    } expect[] = {
        {&gfxoverworld, "gfx\\overworld.png", 256, 256, 16, 16, 256},
        {&gfxblock, "gfx\\block.png", 256, 256, 16, 16, 256},
        {&gfxblockdmg, "gfx\\blockdmg.png", 32, 32, 16, 16, 4},
        {&gfxitem, "gfx\\item.png", 256, 256, 16, 16, 256},
        {&gfxplayericon, "gfx\\playericon.png", 32, 32, 16, 16, 4},
        {&gfxplayer, "gfx\\player.png", 64, 64, 16, 16, 16},
        {&gfxslash, "gfx\\slash.png", 32, 32, 16, 16, 4},
        {&gfxfont, "gfx\\font.png", 64, 40, 4, 5, 128},
        {&gfxarrow, "gfx\\arrow.png", 16, 16, 8, 8, 4},
        {&gfxheart, "gfx\\heart.png", 8, 8, 8, 8, 1},
        {&gfxshield, "gfx\\shield.png", 8, 8, 8, 8, 1},
        {&gfxgold, "gfx\\gold.png", 8, 8, 8, 8, 1},
        {&gfxexp, "gfx\\exp.png", 8, 8, 8, 8, 1},
        {&gfxbag, "gfx\\bag.png", 8, 8, 8, 8, 1},
        {&gfxbaddie, "gfx\\baddie.png", 8, 8, 8, 8, 1},
        {&gfxtrash, "gfx\\trash.png", 16, 16, 16, 16, 1},
        {&gfxnpc, "gfx\\npc.png", 32, 64, 16, 16, 8},
        {&gfxvillage, "gfx\\village.png", 16, 16, 16, 16, 1},
        {&gfxenemy0, "gfx\\enemy0.png", 16, 8, 8, 8, 2},
        {&gfxenemy1, "gfx\\enemy1.png", 24, 12, 12, 12, 2},
        {&gfxenemy2, "gfx\\enemy2.png", 32, 24, 16, 12, 4},
    };
    static_assert(std::size(expect) == std::size(picturecatalogue));
    const std::set<uint32_t> palette = SharedPalette();
    ASSERT_GE(palette.size(), 16u);
    ASSERT_LE(palette.size(), 32u);
    EXPECT_EQ(palette.count(0), 0u) << "black is only ever a hole";
    for (size_t i = 0; i < std::size(expect); ++i) {
        const auto& e = expect[i];
        SCOPED_TRACE(e.path);
        // Loaded in this order, each into its own picture.
        EXPECT_STREQ(picturecatalogue[i].path, e.path);
        EXPECT_EQ(picturecatalogue[i].image, e.image);
        const EmbeddedFile* f = FindEmbedded(e.path);
        ASSERT_NE(f, nullptr);
        PngHeader h = ReadHeader(f);
        EXPECT_EQ((int)h.w, e.w);
        EXPECT_EQ((int)h.h, e.h);
        const TImage& img = *e.image;
        EXPECT_EQ(img.cellw, e.cellw);
        EXPECT_EQ(img.cellh, e.cellh);
        ASSERT_EQ(img.frames, e.frames);
        // Each frame is the cell at its place in reading order.
        TImage whole;
        ASSERT_TRUE(whole.Load(e.path));
        ASSERT_EQ(whole.cellw, e.w);
        ASSERT_EQ(whole.cellh, e.h);
        const int across = e.w / e.cellw;
        for (int k = 0; k < e.frames; ++k)
            for (int y = 0; y < e.cellh; ++y)
                for (int x = 0; x < e.cellw; ++x) {
                    const int wx = k % across * e.cellw + x, wy = k / across * e.cellh + y;
                    ASSERT_EQ(img.Frame(k)[y * img.cellw + x], whole.pixels[(size_t)wy * e.w + wx])
                        << "frame " << k << " at " << x << "," << y;
                }
        if (std::string(e.path) == "gfx\\font.png") {
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

// At the font's own size a reader tells glyphs apart only by whole pixels:
// every lowercase letter differs from every other cell of the font, capitals,
// digits, signs, icons and blanks alike, in at least two of them.
TEST_F(CatalogueTest, LowercaseLettersStandApartFromEveryOtherGlyph) {
    const int area = gfxfont.cellw * gfxfont.cellh;
    ASSERT_EQ(area, 20);
    auto differing = [&](int a, int b) {
        int n = 0;
        for (int i = 0; i < area; ++i) n += (gfxfont.Frame(a)[i] != 0) != (gfxfont.Frame(b)[i] != 0);
        return n;
    };
    for (int letter = 'a'; letter <= 'z'; ++letter)
        for (int other = 0; other < gfxfont.frames; ++other) {
            if (other == letter) continue;
            const std::string name = other > ' ' && other < 127 ? std::string(1, (char)other) : "";
            EXPECT_GE(differing(letter, other), 2) << (char)letter << " and cell " << other << " " << name;
        }
}

// The fourth column of a cell is the gap between letters: only the double
// quote, "#" and "&" reach into it, and each of those three does.
TEST_F(CatalogueTest, OnlyTheQuoteTheHashAndTheAmpersandUseTheFourthColumn) {
    for (int c = 0; c < gfxfont.frames; ++c) {
        bool fourth = false;
        for (int y = 0; y < gfxfont.cellh; ++y) fourth = fourth || gfxfont.Frame(c)[y * gfxfont.cellw + 3] != 0;
        EXPECT_EQ(fourth, c == '"' || c == '#' || c == '&') << "cell " << c;
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
