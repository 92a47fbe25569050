// The pictures decoded ahead for machines without libpng are, pixel for
// pixel, what libpng makes of the embedded PNG files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/png.h"
#include "platform/picture.h"
#include "platform/platform.h"

TEST(DecodedPictures, EveryBuiltInPictureMatchesWhatLibpngDecodes) {
    int pngs = 0, decoded = 0;
    for (const EmbeddedFile* f = embeddedfiles; f->name; ++f) {
        const std::string name = f->name;
        if (name.size() < 4 || name.substr(name.size() - 4) != ".png") continue;
        ++pngs;
        SCOPED_TRACE(name);
        std::vector<uint8_t> want;
        int w = 0, h = 0;
        ASSERT_TRUE(DecodePNG(f->data, f->size, want, w, h));
        const DecodedPicture* got = nullptr;
        for (const DecodedPicture* d = decodedpictures; d->name; ++d)
            if (name == d->name) got = d;
        ASSERT_NE(got, nullptr);
        ++decoded;
        ASSERT_EQ(got->width, w);
        ASSERT_EQ(got->height, h);
        EXPECT_EQ(std::vector<uint8_t>(got->rgb, got->rgb + want.size()), want);
    }
    EXPECT_EQ(pngs, 21);
    for (const DecodedPicture* d = decodedpictures; d->name; ++d) --decoded;
    EXPECT_EQ(decoded, 0) << "a decoded picture that is not built in";
}
