#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pictures/PictureCheck.h"
#include "tools/PngWriter.h"

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

PictureFault Fault(const std::string& file, int dpi = 96) {
    return CheckBitmap(std::string_view(file).substr(0, kBitmapHeadBytes), file.size(), dpi).fault;
}

constexpr PictureFault kOk = PictureFault::None, kDamaged = PictureFault::Damaged,
                       kFormat = PictureFault::Format, kSide = PictureFault::Side,
                       kPixels = PictureFault::Pixels, kIcon = PictureFault::IconImage;

TEST(PictureCheck, BitmapsWithHeadersAndPixelsWithinTheFile) {
    const std::string good = Bitmap(640, 480, 24);
    const struct {
        const char* what;
        std::string file;
        PictureFault fault;
        int dpi = 96;
    } cases[] = {
        {"640 x 480, 24 bits", good, kOk},
        {"top-down, 8 bits", Bitmap(33, -7, 8), kOk},
        {"1 bit", Bitmap(1, 1, 1), kOk},
        {"cut to 100 KB", good.substr(0, 100 * 1024), kDamaged},
        {"one byte short", good.substr(0, good.size() - 1), kDamaged},
        {"only the file header", good.substr(0, 14), kDamaged},
        {"pixel offset past the end", With(good, 10, static_cast<std::uint32_t>(good.size()), 4),
         kDamaged},
        {"pixel offset 2^32 - 1", With(good, 10, 0xFFFFFFFF, 4), kDamaged},
        {"pixel offset inside the header", With(good, 10, 20, 4), kDamaged},
        {"not BM", With(good, 0, 'X', 1), kFormat},
        {"width 0", Bitmap(0, 10, 24), kDamaged},
        {"negative width", Bitmap(-640, 480, 24), kDamaged},
        {"height 0", Bitmap(10, 0, 24), kDamaged},
        {"height -2^31", Bitmap(10, INT32_MIN, 24), kSide},
        {"width 2^31 - 1", Bitmap(INT32_MAX, 1, 24), kSide},
        {"30000 x 30000", Bitmap(30000, 30000, 1), kSide},
        {"7 bits", Bitmap(4, 4, 7), kDamaged},
        {"two planes", With(good, 26, 2, 2), kDamaged},
        {"unknown info header", With(good, 14, 41, 4), kDamaged},
        {"colour table of 2^32 - 1", With(Bitmap(4, 4, 8), 46, 0xFFFFFFFF, 4), kDamaged},
        {"RLE8 without its size", Bitmap(8, 8, 8, 1, 0), kDamaged},
        {"RLE8 beyond the end", With(Bitmap(8, 8, 8, 1, 10), 34, 1000, 4), kDamaged},
        {"RLE8 within", Bitmap(8, 8, 8, 1, 10), kOk},
        {"JPEG inside", Bitmap(8, 8, 24, 4, 10), kFormat},
        // The caps, at the file's size and at the size "dpiscale" gives it.
        {"16385 x 1", Bitmap(16385, 1, 1), kSide},
        {"8192 x 8192 in a small RLE8 file", Bitmap(8192, 8192, 8, 1, 10), kOk},
        {"8193 x 8192", Bitmap(8193, 8192, 8, 1, 10), kPixels},
        {"8192 x 8192 at 144 DPI", Bitmap(8192, 8192, 8, 1, 10), kPixels, 144},
        {"12000 x 8 at 144 DPI", Bitmap(12000, 8, 8, 1, 10), kSide, 144},
        {"12000 x 8", Bitmap(12000, 8, 8, 1, 10), kOk},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Fault(c.file, c.dpi), c.fault) << c.what;
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
        PictureFault fault;
    } cases[] = {
        {"32 x 32", good, kOk},
        {"PNG image", Icon(48, true), kOk},
        {"cut short", good.substr(0, good.size() - 1), kDamaged},
        {"directory only", good.substr(0, 22), kDamaged},
        {"no images", With(good, 4, 0, 2), kFormat},
        {"more entries than the file holds", With(good, 4, 500, 2), kDamaged},
        {"a cursor", With(good, 2, 2, 2), kFormat},
        {"image offset past the end", With(good, 18, 0xFFFFFFF0, 4), kDamaged},
        {"image size past the end", With(good, 14, 0xFFFFFFFF, 4), kDamaged},
        {"image width 2^31 - 1", With(good, 22 + 4, INT32_MAX, 4), kIcon},
        {"image larger than its entry",
         With(good, 14, static_cast<std::uint32_t>(good.size() - 22 - 1), 4), kDamaged},
        {"33 bits", With(good, 22 + 14, 33, 2), kDamaged},
        {"PNG of 0 pixels", Icon(0, true), kDamaged},
        {"image of 257 pixels", Icon(257), kIcon},
        {"PNG claiming 8192 pixels", With(Icon(48, true), 22 + 18, 0x20, 2), kIcon},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckIcon(c.file), c.fault) << c.what;
    }
}

// The file with one big-endian field replaced.
std::string WithBig(std::string file, std::size_t at, std::uint32_t value, int bytes) {
    std::string field;
    for (int i = 0; i < bytes; ++i) {
        field += static_cast<char>(value >> (8 * (bytes - 1 - i)));
    }
    return file.replace(at, field.size(), field);
}

// A JPEG file's skeleton: an APP0 segment, a frame header of width x height, the scan.
std::string Jpeg(std::uint16_t width, std::uint16_t height) {
    std::string b = std::string("\xFF\xD8\xFF\xE0\0\x10", 6) + std::string(14, 'J') +
                    std::string("\xFF\xC0\0\x11\x08\0\0\0\0\x03", 10) + std::string(9, '\1') +
                    std::string("\xFF\xDA\0\x0C", 4) + std::string(10, '\2') + "data\xFF\xD9";
    return WithBig(WithBig(b, 25, height, 2), 27, width, 2);
}

// A GIF file's skeleton: the logical screen of width x height, then the trailer.
std::string Gif(std::uint16_t width, std::uint16_t height) {
    std::string b = "GIF89a" + std::string(7, '\0') + "frame;";
    Put(b, 6, width, 2);
    Put(b, 8, height, 2);
    return b;
}

TEST(PictureCheck, PngJpegAndGifFilesByTheirHeadersAndEnds) {
    const std::string png = EncodePng(3, 2, std::vector<std::uint8_t>(18, 0x80));
    const struct {
        const char* what;
        std::string file;
        PictureFault fault;
        std::int64_t width = 0, height = 0;
        int dpi = 96;
    } cases[] = {
        {"PNG", png, kOk, 3, 2},
        {"PNG at 144 DPI", png, kOk, 5, 3, 144},
        {"PNG without IEND", png.substr(0, png.size() - 12), kDamaged},
        {"PNG one byte short", png.substr(0, png.size() - 1), kDamaged},
        {"PNG chunk longer than the file", WithBig(png, 33, 0x7FFFFFFF, 4), kDamaged},
        {"PNG without IHDR first", WithBig(png, 12, 0x49444154, 4), kDamaged},
        {"PNG 100000 pixels wide", WithBig(png, 16, 100000, 4), kSide},
        {"PNG 9000 x 9000", WithBig(WithBig(png, 16, 9000, 4), 20, 9000, 4), kPixels},
        {"PNG 12000 wide at 144 DPI", WithBig(png, 16, 12000, 4), kSide, 0, 0, 144},
        {"PNG of width 0", WithBig(png, 16, 0, 4), kDamaged},
        {"JPEG", Jpeg(640, 480), kOk, 640, 480},
        {"JPEG without its end", Jpeg(640, 480).substr(0, 57), kDamaged},
        {"JPEG of height 0", Jpeg(640, 0), kDamaged},
        {"JPEG 20000 wide", Jpeg(20000, 10), kSide},
        {"JPEG scan before the frame", Jpeg(4, 4).replace(21, 1, "\xDA"), kDamaged},
        {"JPEG segment beyond the file", WithBig(Jpeg(4, 4), 4, 0xFFF0, 2), kDamaged},
        {"GIF", Gif(320, 200), kOk, 320, 200},
        {"GIF without trailer", Gif(320, 200).substr(0, 18), kDamaged},
        {"GIF of width 0", Gif(0, 200), kDamaged},
        {"GIF 65535 pixels wide", Gif(65535, 1), kSide},
        {"none of them", "GIF90a" + std::string(40, '\0'), kFormat},
    };
    for (const auto& c : cases) {
        const PictureCheck check = CheckPictureFile(c.file, c.file.size(), c.dpi);
        EXPECT_EQ(check.fault, c.fault) << c.what;
        if (c.fault == kOk) {
            EXPECT_EQ(check.width, c.width) << c.what;
            EXPECT_EQ(check.height, c.height) << c.what;
        }
    }
    // Read whole up to 32 MB, and only then; a bitmap by its headers.
    const std::string bitmap = Bitmap(640, 480, 24);
    EXPECT_EQ(PictureBytesNeeded(png, png.size()), png.size());
    EXPECT_EQ(PictureBytesNeeded(png, kMaxCodedFileBytes + 1), kBitmapHeadBytes);
    EXPECT_EQ(PictureBytesNeeded(bitmap, bitmap.size()), kBitmapHeadBytes);
    EXPECT_EQ(CheckPictureFile(png, kMaxCodedFileBytes + 1, 96).fault, PictureFault::Length);
    EXPECT_EQ(CheckPictureFile(bitmap.substr(0, kBitmapHeadBytes), bitmap.size(), 96).fault, kOk);
}

// The pictures of one menu together: 256 MB at 4 bytes a pixel, and nothing counted for one
// refused.
TEST(PictureCheck, TheMenusPicturesTogether) {
    PictureBudget budget;
    EXPECT_TRUE(budget.Take(8192, 4096));
    EXPECT_FALSE(budget.Take(8192, 4097));
    EXPECT_TRUE(budget.Take(8192, 4096));
    EXPECT_FALSE(budget.Take(1, 1));
}

} // namespace
