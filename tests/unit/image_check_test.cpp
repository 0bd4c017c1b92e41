#include "scene/image_check.h"

#include <gtest/gtest.h>

namespace {

std::string chunk(const std::string& type, const std::string& data) {
    std::string length;
    for (int shift = 24; shift >= 0; shift -= 8)
        length += static_cast<char>((data.size() >> shift) & 0xFF);
    return length + type + data + "CRC!";
}

const std::string PNG = std::string("\x89PNG\r\n\x1a\n") + chunk("IHDR", std::string(13, '\x01')) +
                        chunk("IDAT", std::string(40, '\x02')) + chunk("IEND", "");

} // namespace

TEST(ImageCheck, PngMustReachItsEndChunk) {
    EXPECT_TRUE(imageLooksComplete(PNG));
    for (size_t cut : {size_t(8), size_t(20), size_t(33), PNG.size() - 1})
        EXPECT_FALSE(imageLooksComplete(PNG.substr(0, cut))) << cut;
    // A chunk length pointing far past the end, as a damaged length field gives.
    std::string damaged = PNG;
    damaged[8 + 25] = '\x7f';
    EXPECT_FALSE(imageLooksComplete(damaged));
}

TEST(ImageCheck, BinaryPnmMustHoldEveryPixelByte) {
    std::string rgb = "P6\n# made by hand\n3 2\n255\n" + std::string(18, 'x');
    EXPECT_TRUE(imageLooksComplete(rgb));
    EXPECT_FALSE(imageLooksComplete(rgb.substr(0, rgb.size() - 1)));
    std::string grey = "P5 3 2 255 " + std::string(6, 'x');
    EXPECT_TRUE(imageLooksComplete(grey));
    EXPECT_FALSE(imageLooksComplete(grey.substr(0, grey.size() - 1)));
    EXPECT_FALSE(imageLooksComplete("P6\n4096 4096\n255\n"));
    EXPECT_FALSE(imageLooksComplete("P6\n9999999999 2\n255\n" + std::string(100, 'x')));
    EXPECT_FALSE(imageLooksComplete("P6\n3"));
}

TEST(ImageCheck, OtherFormatsAreLeftToTheDecoder) {
    EXPECT_TRUE(imageLooksComplete(""));
    EXPECT_TRUE(imageLooksComplete("\xff\xd8\xff\xe0 cut jpeg"));
    EXPECT_TRUE(imageLooksComplete("BM"));
    EXPECT_TRUE(imageLooksComplete("P3\n1 1\n255\n"));
    EXPECT_FALSE(imageFileLooksComplete("/no/such/image.png"));
}
