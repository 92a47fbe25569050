// appicon: the game's icon at one size, for the page's manifest and the
// installed game: the head of the player's overworld marker, seen from the
// front, each pixel a square block of a whole number of pixels on the game's
// clear colour, so the icon stays as crisp as the game. A size that is no
// multiple of 16 (a phone's home screen asks for 180) keeps whole blocks and
// a thin border of the clear colour around them.
//
//   appicon <playericon.png> <size> <out.png>     (size at least 16)
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "canvas.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: appicon <playericon.png> <size> <out.png>\n");
        return 2;
    }
    const int size = std::atoi(argv[2]);
    if (size < 16 || size > 4096) {
        std::fprintf(stderr, "appicon: the size must be from 16 to 4096\n");
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
    if (!gfx::WritePng(argv[3], icon)) {
        std::fprintf(stderr, "appicon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
