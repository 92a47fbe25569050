// The pictures of a machine without libpng (the page, Windows): decoded
// ahead at build time (tools/embed/decodepictures) from the same PNG files
// the desktop decodes when it loads them.
#include "platform/picture.h"

bool DecodePicture(const std::string& name, std::vector<uint8_t>& rgb, int& w, int& h) {
    for (const DecodedPicture* d = decodedpictures; d->name; ++d)
        if (name == d->name) {
            w = d->width;
            h = d->height;
            rgb.assign(d->rgb, d->rgb + (size_t)w * h * 3);
            return true;
        }
    return false;
}
