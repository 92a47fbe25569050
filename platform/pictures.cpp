// The built-in files by name, and the built-in pictures decoded by the
// machine (picture.h) and cut into frames.
#include "engine/draw.h"
#include "platform/picture.h"
#include "platform/platform.h"

bool TImage::LoadAnim(const char* path, int cw, int ch, int first, int count) {
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    if (!DecodePicture(path, rgb, w, h) || !FromRGB(rgb.data(), w, h, cw, ch, first, count)) {
        PrintError(std::string("cannot load picture ") + path);
        return false;
    }
    return true;
}

bool TImage::Load(const char* path) {
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    if (!DecodePicture(path, rgb, w, h) || !FromRGB(rgb.data(), w, h, w, h, 0, 1)) {
        PrintError(std::string("cannot load picture ") + path);
        return false;
    }
    return true;
}

const EmbeddedFile* FindEmbedded(const std::string& name) {
    for (const EmbeddedFile* f = embeddedfiles; f->name; ++f)
        if (name == f->name) return f;
    return nullptr;
}
