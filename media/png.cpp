// PNG pictures decoded with libpng, wherever the stored form: the desktop's
// way to the built-in pictures, and the tool's that decodes them ahead for
// machines without libpng.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "media/png.h"

namespace {
struct MemReader {
    const unsigned char* data;
    size_t size, pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* m = static_cast<MemReader*>(png_get_io_ptr(png));
    if (n > m->size - m->pos) png_error(png, "picture ends early");
    std::memcpy(out, m->data + m->pos, n);
    m->pos += n;
}
}  // namespace

bool DecodePNG(const unsigned char* data, size_t size, std::vector<uint8_t>& rgb, int& w, int& h) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    MemReader reader{data, size, 0};
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    png_uint_32 pw = png_get_image_width(png, info), ph = png_get_image_height(png, info);
    if (pw == 0 || ph == 0 || pw > 4096 || ph > 4096) png_error(png, "picture size out of range");
    // Whatever the stored form, hand the game 8-bit RGB.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_set_packing(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != (size_t)pw * 3) png_error(png, "unexpected pixel layout");
    w = (int)pw;
    h = (int)ph;
    rgb.assign((size_t)w * h * 3, 0);
    rows.resize(h);
    for (int y = 0; y < h; ++y) rows[y] = rgb.data() + (size_t)y * w * 3;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}
