#include "pictures/PictureCheck.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "config/MenuSettings.h"

namespace {

std::uint32_t U32(std::string_view b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
    }
    return v;
}

std::uint16_t U16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

std::uint32_t BigU32(std::string_view b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v = v << 8 | static_cast<unsigned char>(b[at + i]);
    }
    return v;
}

std::uint16_t BigU16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) << 8 |
                                      static_cast<unsigned char>(b[at + 1]));
}

// Whether `b` holds `text` at `at`.
bool Holds(std::string_view b, std::size_t at, std::string_view text) {
    return b.size() >= at && b.size() - at >= text.size() &&
           std::memcmp(b.data() + at, text.data(), text.size()) == 0;
}

std::int32_t I32(std::string_view b, std::size_t at) {
    return static_cast<std::int32_t>(U32(b, at));
}

// The cap a picture of width x height passes, or None. Sides of up to 2^31 multiply
// within 64 bits.
PictureFault SizeFault(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0) {
        return PictureFault::Damaged;
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide) {
        return PictureFault::Side;
    }
    return width * height > kMaxPicturePixels ? PictureFault::Pixels : PictureFault::None;
}

// Records the size the menu keeps a picture of width x height at (never below the file's
// own size) and says whether it is within the caps there; if not, the cap it passes.
bool Keep(PictureCheck& check, std::int64_t width, std::int64_t height, int dpi) {
    check.width = ScaleToDpi(static_cast<std::int32_t>(std::min<std::int64_t>(width, INT32_MAX)),
                             std::max(dpi, kFileDpi));
    check.height = ScaleToDpi(static_cast<std::int32_t>(std::min<std::int64_t>(height, INT32_MAX)),
                              std::max(dpi, kFileDpi));
    const PictureFault fault = SizeFault(check.width, check.height);
    if (fault != PictureFault::None) {
        check.fault = fault;
    }
    return fault == PictureFault::None;
}

bool KnownDepth(std::uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Bytes of `rows` rows of `width` pixels, each row padded to 4 bytes.
std::int64_t PixelBytes(std::int64_t width, std::int64_t rows, std::uint32_t bits) {
    return (width * bits + 31) / 32 * 4 * rows;
}

std::int64_t PaletteEntries(std::uint32_t bits, std::uint32_t used) {
    if (used != 0) {
        return used;
    }
    return bits <= 8 ? std::int64_t{1} << bits : 0;
}

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

// A PNG file: the IHDR chunk first, then chunks each within the file, up to IEND.
PictureCheck CheckPng(std::string_view file, int dpi) {
    PictureCheck check{PictureFault::Damaged};
    if (file.size() < 33 || BigU32(file, 8) != 13 || !Holds(file, 12, "IHDR") ||
        !Keep(check, BigU32(file, 16), BigU32(file, 20), dpi)) {
        return check;
    }
    for (std::size_t at = 8; file.size() - at >= 12;) {
        const std::uint64_t end = at + std::uint64_t{12} + BigU32(file, at);
        if (end > file.size()) {
            break;
        }
        if (Holds(file, at + 4, "IEND")) {
            check.fault = PictureFault::None;
            break;
        }
        at = static_cast<std::size_t>(end);
    }
    return check;
}

// A JPEG file: segments up to the first frame header (SOFn) with the picture's size, and the
// end-of-image marker as its last two bytes.
PictureCheck CheckJpeg(std::string_view file, int dpi) {
    PictureCheck check{PictureFault::Damaged};
    if (file.size() < 4 || !Holds(file, file.size() - 2, "\xFF\xD9")) {
        return check;
    }
    for (std::size_t at = 2; file.size() - at >= 4 && file[at] == '\xFF';) {
        const unsigned marker = static_cast<unsigned char>(file[at + 1]);
        if (marker == 0xFF) {
            ++at; // a fill byte
            continue;
        }
        const std::size_t length = BigU16(file, at + 2);
        if (marker == 0xDA || length < 2 || file.size() - at - 2 < length) {
            break; // the scan data before any frame header, or a segment beyond the file
        }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            if (length >= 7 && Keep(check, BigU16(file, at + 7), BigU16(file, at + 5), dpi)) {
                check.fault = PictureFault::None;
            }
            break;
        }
        at += 2 + length;
    }
    return check;
}

// A GIF file: the logical screen's size, and the trailer as its last byte.
PictureCheck CheckGif(std::string_view file, int dpi) {
    PictureCheck check{PictureFault::Damaged};
    if (file.size() >= 14 && file.back() == '\x3B' &&
        Keep(check, U16(file, 6), U16(file, 8), dpi)) {
        check.fault = PictureFault::None;
    }
    return check;
}

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

} // namespace

PictureCheck CheckBitmap(std::string_view head, std::uint64_t fileLength, int dpi) {
    PictureCheck check;
    if (head.size() < 2 || head[0] != 'B' || head[1] != 'M') {
        return check;
    }
    check.fault = PictureFault::Damaged;
    if (head.size() < 18 || head.size() > fileLength) {
        return check;
    }
    const std::int64_t length = static_cast<std::int64_t>(
        std::min<std::uint64_t>(fileLength, std::uint64_t{1} << 62)); // compared in 64 bits only
    const std::int64_t pixelsAt = U32(head, 10);
    const std::uint32_t infoSize = U32(head, 14);
    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bits = 0, compression = kRgb, imageSize = 0, used = 0;
    std::int64_t entryBytes = 4;
    if (infoSize == 12 && head.size() >= 26) {
        width = U16(head, 18);
        height = U16(head, 20);
        planes = U16(head, 22);
        bits = U16(head, 24);
        entryBytes = 3;
    } else if ((infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 ||
                infoSize == 124) &&
               head.size() >= 14 + infoSize) {
        width = I32(head, 18);
        height = I32(head, 22);
        planes = U16(head, 26);
        bits = U16(head, 28);
        compression = U32(head, 30);
        imageSize = U32(head, 34);
        used = U32(head, 46);
    } else {
        return check;
    }
    const bool topDown = height < 0;
    height = std::llabs(height);
    if (!Keep(check, width, height, dpi)) {
        return check;
    }
    if (planes != 1 || !KnownDepth(bits) || used > 256 ||
        (bits <= 8 && used > (std::uint32_t{1} << bits))) {
        return check;
    }
    std::int64_t masks = 0;
    std::int64_t pixelBytes = PixelBytes(width, height, bits);
    switch (compression) {
    case kRgb:
        break;
    case kBitFields:
    case kAlphaBitFields:
        if (bits != 16 && bits != 32) {
            return check;
        }
        if (infoSize == 40) {
            masks = compression == kBitFields ? 12 : 16;
        }
        break;
    case kRle8:
    case kRle4:
        if (topDown || bits != (compression == kRle8 ? 8u : 4u) || imageSize == 0) {
            return check;
        }
        pixelBytes = imageSize;
        break;
    default:
        // JPEG or PNG inside, or unknown: not for the system's bitmap loader.
        check.fault = PictureFault::Format;
        return check;
    }
    const std::int64_t tableEnd =
        14 + std::int64_t{infoSize} + masks + PaletteEntries(bits, used) * entryBytes;
    if (tableEnd <= pixelsAt && pixelsAt + pixelBytes <= length) {
        check.fault = PictureFault::None;
    }
    return check;
}

PictureFormat FormatOf(std::string_view head) {
    return Holds(head, 0, "BM")                                   ? PictureFormat::Bitmap
           : Holds(head, 0, kPngSignature)                        ? PictureFormat::Png
           : Holds(head, 0, "\xFF\xD8\xFF")                       ? PictureFormat::Jpeg
           : Holds(head, 0, "GIF87a") || Holds(head, 0, "GIF89a") ? PictureFormat::Gif
                                                                  : PictureFormat::Other;
}

std::uint64_t PictureBytesNeeded(std::string_view head, std::uint64_t fileLength) {
    const PictureFormat format = FormatOf(head);
    return format == PictureFormat::Bitmap || format == PictureFormat::Other ||
                   fileLength > kMaxCodedFileBytes
               ? std::min<std::uint64_t>(fileLength, kBitmapHeadBytes)
               : fileLength;
}

PictureCheck CheckPictureFile(std::string_view bytes, std::uint64_t fileLength, int dpi) {
    const PictureFormat format = FormatOf(bytes);
    if (format == PictureFormat::Bitmap || format == PictureFormat::Other) {
        return CheckBitmap(bytes, fileLength, dpi);
    }
    if (fileLength > kMaxCodedFileBytes) {
        return {PictureFault::Length};
    }
    if (bytes.size() != fileLength) {
        return {PictureFault::Damaged};
    }
    return format == PictureFormat::Png    ? CheckPng(bytes, dpi)
           : format == PictureFormat::Jpeg ? CheckJpeg(bytes, dpi)
                                           : CheckGif(bytes, dpi);
}

PictureFault CheckIcon(std::string_view bytes) {
    if (bytes.size() < 6 || U16(bytes, 0) != 0 || U16(bytes, 2) != 1 || U16(bytes, 4) == 0) {
        return PictureFault::Format;
    }
    const std::size_t count = U16(bytes, 4);
    if (bytes.size() < 6 + 16 * count) {
        return PictureFault::Damaged;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const std::uint64_t size = U32(bytes, entry + 8);
        const std::uint64_t at = U32(bytes, entry + 12);
        if (at + size > bytes.size()) {
            return PictureFault::Damaged;
        }
        const std::string_view image(bytes.data() + at, static_cast<std::size_t>(size));
        std::int64_t width = 0, height = 0;
        const bool png = Holds(image, 0, kPngSignature);
        if (png) {
            // The signature, then the IHDR chunk with the image's size (big-endian).
            if (image.size() < 33 || !Holds(image, 12, "IHDR")) {
                return PictureFault::Damaged;
            }
            width = BigU32(image, 16);
            height = BigU32(image, 20);
        } else if (image.size() >= 40) {
            // A bitmap info header; its height counts the colour pixels and the mask.
            width = I32(image, 4);
            height = I32(image, 8) / 2;
        }
        if (width <= 0 || height <= 0) {
            return PictureFault::Damaged;
        }
        // A PNG image is decoded whole whatever size it claims, like a bitmap image.
        if (width > kMaxIconSide || height > kMaxIconSide) {
            return PictureFault::IconImage;
        }
        if (png) {
            continue;
        }
        // Then the colour table, the colour pixels and the mask.
        const std::uint32_t infoSize = U32(image, 0);
        const std::uint32_t bits = U16(image, 14);
        const std::uint32_t used = U32(image, 32);
        if (infoSize < 40 || infoSize > size || !KnownDepth(bits) || used > 256) {
            return PictureFault::Damaged;
        }
        const std::int64_t needed = std::int64_t{infoSize} + PaletteEntries(bits, used) * 4 +
                                    PixelBytes(width, height, bits) + PixelBytes(width, height, 1);
        if (needed > static_cast<std::int64_t>(size)) {
            return PictureFault::Damaged;
        }
    }
    return PictureFault::None;
}

bool PictureBudget::Take(std::int64_t width, std::int64_t height) {
    // Each side is at most kMaxPictureSide, so the sum stays far within 64 bits.
    const std::int64_t bytes = width * height * 4;
    if (bytes_ + bytes > kMaxMenuPictureBytes) {
        return false;
    }
    bytes_ += bytes;
    return true;
}
