// The PNG writer against bytes checked once with an independent decoder (Python's
// zlib and its CRC): a repeated pixel run becomes a back reference, and chunk
// checksums, Adler-32 and the fixed deflate codes must all agree.
#include <gtest/gtest.h>

#include "tools/PngWriter.h"

TEST(PngWriterTest, WritesTheBytesAnIndependentDecoderAccepted) {
    const std::vector<std::uint8_t> rgb = {255, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 255,
                                           1,   2, 3, 1, 2, 3,   1,   2, 3, 1, 2, 3};
    const std::string expected(
        "\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR\x00\x00\x00\x04\x00\x00\x00\x02\x08\x02\x00\x00"
        "\x00\xf0\xca\xea\x34\x00\x00\x00\x15IDAT\x78\x01\x63\xf8\xcf\x00\x04\xff\x21\x24\x03"
        "\x23\x13\x33\x1c\x01\x00\x4e\x60\x04\x15\xf6\xa2\x05\xc8\x00\x00\x00\x00IEND\xae\x42"
        "\x60\x82",
        78);
    EXPECT_EQ(EncodePng(4, 2, rgb), expected);
}

TEST(PngWriterTest, FlatPicturesCompressWell) {
    // A 640 x 480 menu background of one colour: runs of 258 bytes at 3 bytes a pixel.
    const std::vector<std::uint8_t> rgb(640 * 480 * 3, 0x40);
    EXPECT_LT(EncodePng(640, 480, rgb).size(), 20000u);
}
