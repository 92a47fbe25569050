// The frame enlarged by a whole factor into a bigger picture, for backends
// that present it themselves instead of letting a graphics card scale it.
#pragma once

#include <cstdint>

// Writes the 480x270 frame into dst, each logical pixel as a factor x factor
// block; dst rows are pitch words apart. The alpha byte is copied as it is.
void UpscaleFrame(const uint32_t* frame, uint32_t* dst, int pitch, int factor);
