// Pictures: built-in PNG files decoded with libpng and cut into frames.
// Every picture is loaded masked: pure black (0, 0, 0) is a hole, any other
// colour is opaque.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

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

// Decodes any PNG to 8-bit RGB; false when it is not a whole PNG.
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
}  // namespace

bool TImage::FromRGB(const uint8_t* rgb, int w, int h, int cw, int ch, int first, int count) {
    if (cw <= 0 || ch <= 0 || cw > w || ch > h || first < 0 || count < 0) return false;
    const int across = w / cw, down = h / ch;
    if ((long long)first + count > (long long)across * down) return false;
    cellw = cw;
    cellh = ch;
    frames = count;
    pixels.assign((size_t)cw * ch * count, 0);
    rowkind.assign((size_t)ch * count, ROW_MIXED);
    framekind.assign((size_t)count, ROW_SOLID);
    for (int f = 0; f < count; ++f) {
        const int cell = first + f, cx = (cell % across) * cw, cy = (cell / across) * ch;
        uint32_t* out = pixels.data() + (size_t)f * cw * ch;
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) {
                const uint8_t* p = rgb + ((size_t)(cy + y) * w + cx + x) * 3;
                const uint32_t c = (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
                out[y * cw + x] = c ? 0xFF000000u | c : 0;
            }
        for (int y = 0; y < ch; ++y) {
            int opaque = 0;
            for (int x = 0; x < cw; ++x) opaque += out[y * cw + x] != 0;
            rowkind[(size_t)f * ch + y] = opaque == 0 ? ROW_EMPTY : opaque == cw ? ROW_SOLID : ROW_MIXED;
            if (opaque != cw) framekind[f] = ROW_MIXED;
        }
    }
    return true;
}

bool TImage::LoadAnim(const char* path, int cw, int ch, int first, int count) {
    const EmbeddedFile* file = FindEmbedded(path);
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    if (!file || !DecodePNG(file->data, file->size, rgb, w, h) || !FromRGB(rgb.data(), w, h, cw, ch, first, count)) {
        std::fprintf(stderr, "cannot load picture %s\n", path);
        return false;
    }
    return true;
}

bool TImage::Load(const char* path) {
    const EmbeddedFile* file = FindEmbedded(path);
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    if (!file || !DecodePNG(file->data, file->size, rgb, w, h) || !FromRGB(rgb.data(), w, h, w, h, 0, 1)) {
        std::fprintf(stderr, "cannot load picture %s\n", path);
        return false;
    }
    return true;
}

const EmbeddedFile* FindEmbedded(const std::string& name) {
    for (const EmbeddedFile* f = embeddedfiles; f->name; ++f)
        if (name == f->name) return f;
    return nullptr;
}
