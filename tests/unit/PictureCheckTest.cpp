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

// A JPEG segment: marker, length, body.
std::string Segment(unsigned char marker, const std::string& body) {
    const std::size_t length = body.size() + 2;
    return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                       static_cast<char>(length & 0xFF)} +
           body;
}

// A frame header of width x height with `components` components (all 8 bits unless `bits`).
std::string Frame(std::uint16_t width, std::uint16_t height, unsigned char marker = 0xC0,
                  int components = 1, char bits = 8) {
    std::string body{bits,
                     static_cast<char>(height >> 8),
                     static_cast<char>(height),
                     static_cast<char>(width >> 8),
                     static_cast<char>(width),
                     static_cast<char>(components)};
    for (int i = 1; i <= components; ++i) {
        body += {static_cast<char>(i), '\x11', '\0'};
    }
    return Segment(marker, body);
}

// A scan of one component and its entropy-coded data.
std::string Scan(const std::string& data = std::string("d\xFF\0ta", 5)) {
    return Segment(0xDA, std::string("\x01\x01\0\0\x3F\0", 6)) + data;
}

const std::string kSoi = "\xFF\xD8", kEoi = "\xFF\xD9";
const std::string kApp0 = Segment(0xE0, "JFIF" + std::string(10, '\0'));

std::string Jpeg(std::uint16_t width, std::uint16_t height) {
    return kSoi + kApp0 + Frame(width, height, 0xC0, 3) + Scan() + kEoi;
}

std::string Scans(int count) {
    std::string scans;
    for (int i = 0; i < count; ++i) {
        scans += Scan();
    }
    return scans;
}

// A TEM marker (no length) right after SOI: read as a length, its next bytes jump into the
// APP1 segment that follows, onto a decoy 1 x 1 frame header.
std::string JpegWithDecoy() {
    std::string app1(65531, 'x');
    app1.replace(65509 - 8, 13, Frame(1, 1));
    return kSoi + "\xFF\x01" + Segment(0xE1, app1) + Frame(640, 480) + Scan() + kEoi;
}

// A GIF frame at left, top of width x height, its data one sub-block.
std::string GifFrame(std::uint16_t left, std::uint16_t top, std::uint16_t width,
                     std::uint16_t height, char codeSize = 2) {
    std::string b = "," + std::string(9, '\0') + codeSize + "\x02\x44\x01" + std::string(1, '\0');
    Put(b, 1, left, 2);
    Put(b, 3, top, 2);
    Put(b, 5, width, 2);
    Put(b, 7, height, 2);
    return b;
}

// A GIF file: the logical screen of width x height with a colour table of 2, then `blocks`
// (one frame filling the screen unless given), then the trailer.
std::string Gif(std::uint16_t width, std::uint16_t height, std::string blocks = "") {
    std::string b = "GIF89a" + std::string(4, '\0') + "\x80" + std::string(2 + 6, '\0');
    Put(b, 6, width, 2);
    Put(b, 8, height, 2);
    return b + (blocks.empty() ? GifFrame(0, 0, width, height) : blocks) + ";";
}

TEST(PictureCheck, PngJpegAndGifFilesByTheirGrammar) {
    const std::string png = EncodePng(3, 2, std::vector<std::uint8_t>(18, 0x80));
    const std::string iend = png.substr(png.size() - 12);
    const std::string jpeg = Jpeg(640, 480);
    const std::string gif = Gif(320, 200);
    const std::string comment = "!\xFE\x03"
                                "abc" +
                                std::string(1, '\0');
    const struct {
        const char* what;
        std::string file;
        PictureFault fault;
        std::int64_t width = 0, height = 0;
        int frames = 1, scans = 1;
        int dpi = 96;
    } cases[] = {
        {"PNG", png, kOk, 3, 2},
        {"PNG at 144 DPI", png, kOk, 5, 3, 1, 1, 144},
        {"PNG and bytes after IEND", png + "more", kOk, 3, 2},
        {"PNG without IEND", png.substr(0, png.size() - 12), kDamaged},
        {"PNG one byte short", png.substr(0, png.size() - 1), kDamaged},
        {"PNG chunk longer than the file", WithBig(png, 33, 0x7FFFFFFF, 4), kDamaged},
        {"PNG without IHDR first", WithBig(png, 12, 0x49444154, 4), kDamaged},
        {"PNG with a second IHDR", png.substr(0, png.size() - 12) + png.substr(8, 25) + iend,
         kDamaged},
        {"PNG of 16-bit palette", WithBig(WithBig(png, 25, 3, 1), 24, 16, 1), kDamaged},
        {"PNG of 3 bits", WithBig(png, 24, 3, 1), kDamaged},
        {"PNG of colour type 5", WithBig(png, 25, 5, 1), kDamaged},
        {"PNG interlaced otherwise", WithBig(png, 28, 2, 1), kDamaged},
        {"PNG 100000 pixels wide", WithBig(png, 16, 100000, 4), kSide},
        {"PNG 9000 x 9000", WithBig(WithBig(png, 16, 9000, 4), 20, 9000, 4), kPixels},
        {"PNG 12000 wide at 144 DPI", WithBig(png, 16, 12000, 4), kSide, 0, 0, 1, 1, 144},
        {"PNG of width 0", WithBig(png, 16, 0, 4), kDamaged},
        {"JPEG", jpeg, kOk, 640, 480},
        {"JPEG and bytes after its end", jpeg + "\xFF\xD8 more", kOk, 640, 480},
        {"JPEG without its end", jpeg.substr(0, jpeg.size() - 2), kDamaged},
        {"JPEG of height 0", Jpeg(640, 0), kDamaged},
        {"JPEG 20000 wide", Jpeg(20000, 10), kSide},
        {"JPEG scan before the frame", kSoi + Scan() + Frame(4, 4) + kEoi, kDamaged},
        {"JPEG segment beyond the file", WithBig(jpeg, 4, 0xFFF0, 2), kDamaged},
        {"JPEG TEM before a decoy frame header", JpegWithDecoy(), kOk, 640, 480},
        {"JPEG fill bytes, TEM and restarts between segments",
         kSoi + "\xFF\xFF\xFF\x01\xFF\xD3" + Frame(8, 8) + "\xFF\xFF" + Scan("\xFF\xD0x") + kEoi,
         kOk, 8, 8},
        {"JPEG of two frame headers", kSoi + Frame(8, 8) + Frame(9, 9) + Scan() + kEoi, kDamaged},
        {"JPEG frame header in the scan's data",
         kSoi + Frame(8, 8) + Scan("x" + Frame(9, 9)) + kEoi, kDamaged},
        {"JPEG bytes between segments", kSoi + Frame(8, 8) + "x" + Scan() + kEoi, kDamaged},
        {"JPEG of a second SOI", kSoi + kSoi + Frame(8, 8) + Scan() + kEoi, kDamaged},
        {"JPEG without a scan", kSoi + Frame(8, 8) + kEoi, kDamaged},
        {"JPEG lossless", kSoi + Frame(8, 8, 0xC3) + Scan() + kEoi, kDamaged},
        {"JPEG arithmetic", kSoi + Frame(8, 8, 0xC9) + Scan() + kEoi, kDamaged},
        {"JPEG of 12 bits", kSoi + Frame(8, 8, 0xC0, 1, 12) + Scan() + kEoi, kDamaged},
        {"JPEG of 2 components", kSoi + Frame(8, 8, 0xC0, 2) + Scan() + kEoi, kDamaged},
        {"JPEG unknown marker", kSoi + Segment(0xF0, "x") + Frame(8, 8) + Scan() + kEoi, kDamaged},
        {"JPEG scan of 5 components",
         kSoi + Frame(8, 8) + Segment(0xDA, std::string(14, '\x05')) + kEoi, kDamaged},
        {"JPEG of 100 scans", kSoi + Frame(8, 8, 0xC2) + Scans(100) + kEoi, kOk, 8, 8, 1, 100},
        {"JPEG of 101 scans", kSoi + Frame(8, 8, 0xC2) + Scans(101) + kEoi, PictureFault::Scans},
        {"GIF", gif, kOk, 320, 200},
        {"GIF and bytes after its trailer", gif + "more", kOk, 320, 200},
        {"GIF of three frames and a comment",
         Gif(320, 200,
             GifFrame(0, 0, 320, 200) + comment + GifFrame(10, 10, 310, 190) +
                 GifFrame(319, 199, 1, 1)),
         kOk, 320, 200, 3},
        {"GIF without trailer", gif.substr(0, gif.size() - 1), kDamaged},
        {"GIF cut in a frame's data", gif.substr(0, gif.size() - 3) + ";", kDamaged},
        {"GIF of width 0", Gif(0, 200, GifFrame(0, 0, 1, 1)), kDamaged},
        {"GIF 65535 pixels wide", Gif(65535, 1), kSide},
        {"GIF of 1 x 1 with a frame of 30000 x 30000", Gif(1, 1, GifFrame(0, 0, 30000, 30000)),
         kDamaged},
        {"GIF with a second frame beyond the screen",
         Gif(320, 200, GifFrame(0, 0, 320, 200) + GifFrame(1, 0, 320, 200)), kDamaged},
        {"GIF frame of height 0", Gif(320, 200, GifFrame(0, 0, 320, 0)), kDamaged},
        {"GIF of code size 9", Gif(320, 200, GifFrame(0, 0, 320, 200, 9)), kDamaged},
        {"GIF without a frame", Gif(320, 200, comment), kDamaged},
        {"GIF of an unknown block", Gif(320, 200, GifFrame(0, 0, 320, 200) + "x"), kDamaged},
        {"none of them", "GIF90a" + std::string(40, '\0'), kFormat},
    };
    for (const auto& c : cases) {
        const PictureCheck check = CheckPictureFile(c.file, c.file.size(), c.dpi);
        EXPECT_EQ(check.fault, c.fault) << c.what;
        if (c.fault == kOk) {
            EXPECT_EQ(check.width, c.width) << c.what;
            EXPECT_EQ(check.height, c.height) << c.what;
            EXPECT_EQ(check.frames, c.frames) << c.what;
            EXPECT_EQ(check.scans, c.scans) << c.what;
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

// What a decode holds at its peak, per pixel kept: the decoder's buffers at their depth (and a
// JPEG's coefficients beyond one scan), a copy for the converter, the copy for the bitmap and
// the bitmap. The decoder is given the file up to its end (a GIF's first frame and a byte).
TEST(PictureCheck, DecodesAreCountedAsTheyAreHeldAndSeeOnlyWhatWasRead) {
    const std::string png = EncodePng(3, 2, std::vector<std::uint8_t>(18, 0x80));
    const std::string rgba16 = WithBig(WithBig(png, 24, 16, 1), 25, 6, 1);
    const std::string trns =
        png.substr(0, 33) + std::string("\0\0\0\0tRNS\0\0\0\0", 12) + png.substr(33);
    const std::string gif = Gif(4, 4);
    const struct {
        const char* what;
        std::string decoded, rest; // the file: what the decoder is given, and the rest
        std::int64_t bytesPerPixel;
    } cases[] = {
        {"PNG of 8-bit RGB", png, "", 2 * 3 + 8},
        {"PNG of 16-bit RGBA", rgba16, "more", 2 * 8 + 8},
        {"PNG of RGB and tRNS", trns, "", 2 * 4 + 8},
        {"grey baseline JPEG", kSoi + Frame(8, 8) + Scan() + kEoi, "x", 2 + 8},
        {"colour baseline JPEG", Jpeg(8, 8), "", 2 * 3 + 8},
        {"progressive colour JPEG", kSoi + Frame(8, 8, 0xC2, 3) + Scan() + kEoi, "", 4 * 3 + 8},
        {"grey JPEG of two scans", kSoi + Frame(8, 8) + Scans(2) + kEoi, "", 4 + 8},
        {"GIF of two frames", gif.substr(0, gif.size() - 1) + ",",
         GifFrame(0, 0, 2, 2).substr(1) + ";", 3 + 8},
    };
    for (const auto& c : cases) {
        const std::string file = c.decoded + c.rest;
        const PictureCheck check = CheckPictureFile(file, file.size(), 96);
        ASSERT_EQ(check.fault, kOk) << c.what;
        EXPECT_EQ(check.peakBytes, check.width * check.height * c.bytesPerPixel) << c.what;
        EXPECT_EQ(check.decodeLength, c.decoded.size()) << c.what;
    }
    // A bitmap: the system's, and its copy at the screen's DPI.
    const std::string bitmap = Bitmap(8, 8, 24);
    EXPECT_EQ(CheckPictureFile(bitmap, bitmap.size(), 96).peakBytes, 8 * 8 * 4);
    EXPECT_EQ(CheckPictureFile(bitmap, bitmap.size(), 144).peakBytes, 12 * 12 * 8);
}

// The pictures of one menu together: 256 MB, those kept at 4 bytes a pixel, the one decoded
// as much as it holds at its peak; nothing counted for one refused.
TEST(PictureCheck, TheMenusPicturesTogether) {
    const auto picture = [](std::int64_t width, std::int64_t height, std::int64_t peak) {
        return PictureCheck{kOk, width, height, width * height * peak};
    };
    PictureBudget budget;
    EXPECT_TRUE(budget.Take(picture(8192, 4096, 4)));
    EXPECT_FALSE(budget.Take(picture(8192, 4097, 4)));
    // A 16-bit PNG of 4096 x 2048 holds 192 MB at its peak; kept, 32 MB.
    EXPECT_FALSE(budget.Take(picture(4096, 2048, 24)));
    EXPECT_TRUE(budget.Take(picture(8192, 2048, 4)));
    EXPECT_TRUE(budget.Take(picture(4096, 1024, 16)));
    EXPECT_FALSE(budget.Take(picture(4096, 1024, 16)));
    EXPECT_TRUE(budget.Take(picture(4096, 1024, 4)));
    PictureBudget other;
    EXPECT_FALSE(other.Take(picture(8192, 8192, 24))); // as the 16-bit PNG of 522 KB
    EXPECT_TRUE(other.Take(picture(4096, 2048, 24)));
}

} // namespace
