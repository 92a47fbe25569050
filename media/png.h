// PNG pictures decoded with libpng, for the desktop's built-in pictures and
// for the tool that decodes them ahead for machines without libpng.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Any PNG as 8-bit RGB; false when it is not a whole PNG of a sane size.
bool DecodePNG(const unsigned char* data, size_t size, std::vector<uint8_t>& rgb, int& w, int& h);
