#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "controls/PictureCheck.h"

namespace {

void Put(std::string& b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i) & 0xFF);
    }
}

// A complete bitmap file: file header, 40-byte info header, colour table, pixels.
std::string Bitmap(std::int32_t width, std::int32_t height, std::uint16_t bits,
                   std::uint32_t compression = 0, std::uint32_t imageSize = 0) {
    const std::uint32_t table = bits <= 8 ? 4u << bits : 0;
    const std::uint32_t at = 14 + 40 + table;
    const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
    const std::uint64_t pixels = compression != 0 ? imageSize
                                                  : (std::uint64_t(width) * bits + 31) / 32 * 4 *
                                                        static_cast<std::uint64_t>(rows);
    std::string b(at + (pixels < (1u << 26) ? pixels : 0), '\0');
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 2, static_cast<std::uint32_t>(b.size()), 4);
    Put(b, 10, at, 4);
    Put(b, 14, 40, 4);
    Put(b, 18, static_cast<std::uint32_t>(width), 4);
    Put(b, 22, static_cast<std::uint32_t>(height), 4);
    Put(b, 26, 1, 2);
    Put(b, 28, bits, 2);
    Put(b, 30, compression, 4);
    Put(b, 34, imageSize, 4);
    return b;
}

// The file with one little-endian field replaced.
std::string With(std::string file, std::size_t at, std::uint32_t value, int bytes) {
    Put(file, at, value, bytes);
    return file;
}

bool Sound(const std::string& file) {
    return IsSoundBitmap(std::string_view(file).substr(0, kBitmapHeadBytes), file.size());
}

TEST(PictureCheck, BitmapsWithHeadersAndPixelsWithinTheFile) {
    const std::string good = Bitmap(640, 480, 24);
    const struct {
        const char* what;
        std::string file;
        bool sound;
    } cases[] = {
        {"640 x 480, 24 bits", good, true},
        {"top-down, 8 bits", Bitmap(33, -7, 8), true},
        {"1 bit", Bitmap(1, 1, 1), true},
        {"cut to 100 KB", good.substr(0, 100 * 1024), false},
        {"one byte short", good.substr(0, good.size() - 1), false},
        {"only the file header", good.substr(0, 14), false},
        {"pixel offset past the end", With(good, 10, static_cast<std::uint32_t>(good.size()), 4),
         false},
        {"pixel offset 2^32 - 1", With(good, 10, 0xFFFFFFFF, 4), false},
        {"pixel offset inside the header", With(good, 10, 20, 4), false},
        {"not BM", With(good, 0, 'X', 1), false},
        {"width 0", Bitmap(0, 10, 24), false},
        {"negative width", Bitmap(-640, 480, 24), false},
        {"height 0", Bitmap(10, 0, 24), false},
        {"height -2^31", Bitmap(10, INT32_MIN, 24), false},
        {"width 2^31 - 1", Bitmap(INT32_MAX, 1, 24), false},
        {"30000 x 30000", Bitmap(30000, 30000, 1), false},
        {"7 bits", Bitmap(4, 4, 7), false},
        {"two planes", With(good, 26, 2, 2), false},
        {"unknown info header", With(good, 14, 41, 4), false},
        {"colour table of 2^32 - 1", With(Bitmap(4, 4, 8), 46, 0xFFFFFFFF, 4), false},
        {"RLE8 without its size", Bitmap(8, 8, 8, 1, 0), false},
        {"RLE8 beyond the end", With(Bitmap(8, 8, 8, 1, 10), 34, 1000, 4), false},
        {"RLE8 within", Bitmap(8, 8, 8, 1, 10), true},
        {"JPEG inside", Bitmap(8, 8, 24, 4, 10), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sound(c.file), c.sound) << c.what;
    }
}

// An icon file with one 32-bit image of `size` pixels, or a PNG image.
std::string Icon(int size, bool png = false) {
    const std::uint32_t xorBytes = std::uint32_t(size) * size * 4;
    const std::uint32_t andBytes = (std::uint32_t(size) + 31) / 32 * 4 * size;
    std::string image(png ? 33 : 40 + xorBytes + andBytes, '\0');
    if (png) {
        image.replace(0, 8, "\x89PNG\r\n\x1a\n", 8);
        image.replace(12, 4, "IHDR");
        image[19] = static_cast<char>(size);
        image[23] = static_cast<char>(size);
    } else {
        Put(image, 0, 40, 4);
        Put(image, 4, static_cast<std::uint32_t>(size), 4);
        Put(image, 8, static_cast<std::uint32_t>(2 * size), 4);
        Put(image, 12, 1, 2);
        Put(image, 14, 32, 2);
    }
    std::string b(6 + 16, '\0');
    Put(b, 2, 1, 2);
    Put(b, 4, 1, 2);
    b[6] = b[7] = static_cast<char>(size);
    Put(b, 6 + 8, static_cast<std::uint32_t>(image.size()), 4);
    Put(b, 6 + 12, 22, 4);
    return b + image;
}

TEST(PictureCheck, IconsWithEveryImageWithinTheFile) {
    const std::string good = Icon(32);
    const struct {
        const char* what;
        std::string file;
        bool sound;
    } cases[] = {
        {"32 x 32", good, true},
        {"PNG image", Icon(48, true), true},
        {"cut short", good.substr(0, good.size() - 1), false},
        {"directory only", good.substr(0, 22), false},
        {"no images", With(good, 4, 0, 2), false},
        {"more entries than the file holds", With(good, 4, 500, 2), false},
        {"a cursor", With(good, 2, 2, 2), false},
        {"image offset past the end", With(good, 18, 0xFFFFFFF0, 4), false},
        {"image size past the end", With(good, 14, 0xFFFFFFFF, 4), false},
        {"image width 2^31 - 1", With(good, 22 + 4, INT32_MAX, 4), false},
        {"image larger than its entry",
         With(good, 14, static_cast<std::uint32_t>(good.size() - 22 - 1), 4), false},
        {"33 bits", With(good, 22 + 14, 33, 2), false},
        {"PNG of 0 pixels", Icon(0, true), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSoundIcon(c.file), c.sound) << c.what;
    }
}

} // namespace
