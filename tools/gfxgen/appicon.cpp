// appicon: the game's icon at one size, for the page's manifest and the
// installed game: the head of the player's overworld marker, seen from the
// front, each pixel a square block of a whole number of pixels on the game's
// clear colour, so the icon stays as crisp as the game. A size that is no
// multiple of 16 (a phone's home screen asks for 180) keeps whole blocks and
// a thin border of the clear colour around them. For Windows, one .ico file
// holds it at several sizes, each a PNG picture inside it.
//
//   appicon <playericon.png> <size> <out.png>           (size from 16 to 4096)
//   appicon <playericon.png> <size,size,...> <out.ico>  (sizes from 16 to 256)
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "canvas.h"

namespace {
// The head at `size` pixels square, from the sheet's 8-bit RGB.
gfx::Canvas Head(const std::vector<unsigned char>& rgb, int size) {
    // Frame 2 (facing down) is the sheet's lower left cell; its top twelve
    // rows are the head, placed in the middle of the square.
    constexpr int kRows = 12, kTop = (16 - kRows) / 2;
    const int k = size / 16, margin = (size - 16 * k) / 2;
    gfx::Canvas icon(size, size);
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < 16; ++x) {
            const unsigned char* p = &rgb[static_cast<size_t>(((16 + y) * 32 + x) * 3)];
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;  // a hole shows the clear colour
            icon.Rect(margin + x * k, margin + (kTop + y) * k, k, k, p);
        }
    return icon;
}

// An icon file of PNG pictures: its head, one entry a picture, the pictures.
bool WriteIco(const char* path, const std::vector<gfx::Canvas>& icons) {
    std::vector<std::vector<unsigned char>> pngs;
    for (const gfx::Canvas& icon : icons) {
        png_image img{};
        img.version = PNG_IMAGE_VERSION;
        img.width = static_cast<png_uint_32>(icon.w), img.height = static_cast<png_uint_32>(icon.h);
        img.format = PNG_FORMAT_RGB;
        png_alloc_size_t size = 0;
        if (!png_image_write_to_memory(&img, nullptr, &size, 0, icon.rgb.data(), 0, nullptr)) return false;
        pngs.emplace_back(size);
        if (!png_image_write_to_memory(&img, pngs.back().data(), &size, 0, icon.rgb.data(), 0, nullptr)) return false;
    }
    std::vector<unsigned char> out;
    const auto put16 = [&](unsigned v) { out.push_back(v & 255), out.push_back(v >> 8 & 255); };
    const auto put32 = [&](size_t v) { put16(v & 0xFFFF), put16(v >> 16 & 0xFFFF); };
    put16(0), put16(1), put16(static_cast<unsigned>(icons.size()));
    size_t offset = 6 + 16 * icons.size();
    for (size_t i = 0; i < icons.size(); ++i) {
        out.push_back(icons[i].w >= 256 ? 0 : icons[i].w);  // 0 stands for 256
        out.push_back(icons[i].h >= 256 ? 0 : icons[i].h);
        out.push_back(0), out.push_back(0);  // no palette
        put16(1), put16(32);
        put32(pngs[i].size()), put32(offset);
        offset += pngs[i].size();
    }
    for (const auto& png : pngs) out.insert(out.end(), png.begin(), png.end());
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: appicon <playericon.png> <size> <out.png> | <size,size,...> <out.ico>\n");
        return 2;
    }
    const std::string out = argv[3];
    const bool ico = out.size() > 4 && out.compare(out.size() - 4, 4, ".ico") == 0;
    std::vector<int> sizes;
    const std::string list = argv[2];
    for (size_t at = 0;;) {
        const size_t comma = list.find(',', at);
        sizes.push_back(std::atoi(list.substr(at, comma - at).c_str()));
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    for (int size : sizes)
        if (size < 16 || size > (ico ? 256 : 4096) || (!ico && sizes.size() > 1)) {
            std::fprintf(stderr, "appicon: a size must be from 16 to %d%s\n", ico ? 256 : 4096,
                         ico ? "" : ", one to a PNG");
            return 2;
        }
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, argv[1])) {
        std::fprintf(stderr, "appicon: cannot read %s\n", argv[1]);
        return 1;
    }
    img.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(img));
    if (img.width != 32 || img.height != 32 || !png_image_finish_read(&img, nullptr, rgb.data(), 0, nullptr)) {
        std::fprintf(stderr, "appicon: %s is not the 32 x 32 marker sheet\n", argv[1]);
        return 1;
    }
    std::vector<gfx::Canvas> icons;
    for (int size : sizes) icons.push_back(Head(rgb, size));
    if (!(ico ? WriteIco(argv[3], icons) : gfx::WritePng(argv[3], icons[0]))) {
        std::fprintf(stderr, "appicon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
