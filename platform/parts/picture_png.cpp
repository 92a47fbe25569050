// The pictures of a machine with libpng (the desktop, the test machine):
// the embedded PNG files, decoded when loaded.
#include "media/png.h"
#include "platform/picture.h"
#include "platform/platform.h"

bool DecodePicture(const std::string& name, std::vector<uint8_t>& rgb, int& w, int& h) {
    const EmbeddedFile* file = FindEmbedded(name);
    return file && DecodePNG(file->data, file->size, rgb, w, h);
}
