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

// Passes a picture kept as recorded, whose decode holds `bytesPerPixel` for each kept pixel at
// its peak.
void Accept(PictureCheck& check, int bytesPerPixel) {
    check.fault = PictureFault::None;
    check.peakBytes = check.width * check.height * bytesPerPixel;
}

// Beside the decoder's own buffers, every decode holds the copy made for the bitmap and the
// bitmap, at 4 bytes a pixel each.
constexpr int kCopyAndBitmap = 8;

unsigned Byte(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]);
}

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

// What a walk through a PNG, JPEG or GIF file found: the picture's size in the file, and what
// its decode holds per pixel at its peak; none when the file does not read one way only.
struct Walk {
    int width = 0, height = 0;
    int bytesPerPixel = 0;
};

// A PNG file: one IHDR chunk, first, with fields as the format allows them, then chunks each
// within the file up to IEND. Decoders give the pixels at 8 or 16 bits a channel, with alpha
// where the file has it (also from a tRNS chunk); the converter holds a copy of as many.
Walk WalkPng(std::string_view file, PictureCheck& check) {
    if (file.size() < 33 || BigU32(file, 8) != 13 || !Holds(file, 12, "IHDR")) {
        return {};
    }
    const unsigned depth = Byte(file, 24), colour = Byte(file, 25);
    // The depths each colour type allows, as bits of a mask: grey, -, RGB, palette, grey and
    // alpha, -, RGBA.
    static constexpr std::uint32_t kDepths[7] = {0x10116, 0, 0x10100, 0x116, 0x10100, 0, 0x10100};
    if (colour > 6 || depth > 16 || (kDepths[colour] >> depth & 1) == 0 || file[26] != 0 ||
        file[27] != 0 || Byte(file, 28) > 1) {
        return {};
    }
    // Chunk types as big-endian numbers.
    constexpr std::uint32_t kIhdr = 0x49484452, kTrns = 0x74524E53, kIend = 0x49454E44;
    bool alpha = colour == 4 || colour == 6;
    for (std::size_t at = 33; file.size() - at >= 12;) {
        const std::uint64_t end = at + std::uint64_t{12} + BigU32(file, at);
        const std::uint32_t type = BigU32(file, at + 4);
        if (end > file.size() || type == kIhdr) {
            break;
        }
        alpha = alpha || type == kTrns;
        if (type == kIend) {
            check.decodeLength = end;
            check.frames = 1;
            // A side beyond 2^31 - 1, which the format forbids, reads as none.
            return {static_cast<int>(BigU32(file, 16)), static_cast<int>(BigU32(file, 20)),
                    2 *
                            (alpha         ? 4
                             : colour == 2 ? 3
                                           : 1) *
                            (depth == 16 ? 2 : 1) +
                        kCopyAndBitmap};
        }
        at = static_cast<std::size_t>(end);
    }
    return {};
}

// Where the entropy-coded data that starts at `at` ends: at the first marker other than a
// restart marker (fill bytes before it included), or the file's end.
std::size_t ScanDataEnd(std::string_view file, std::size_t at) {
    for (; at < file.size(); ++at) {
        if (file[at] != '\xFF') {
            continue;
        }
        std::size_t next = at + 1;
        while (next < file.size() && file[next] == '\xFF') {
            ++next;
        }
        if (next < file.size() && file[next] != 0 && (Byte(file, next) & 0xF8) != 0xD0) {
            return next - 1;
        }
        at = next;
    }
    return file.size();
}

// The JPEG markers followed by a segment's length, as bits by marker - 0xC0: frame headers of
// Huffman coding (C0-C2), tables (DHT, DAC, DQT, DRI), a scan (SOS), DNL, APPn and COM.
constexpr std::uint64_t kSegmentMarkers = 0x7 | 1u << 4 | 1u << 0xC | std::uint64_t{0x3C} << 0x18 |
                                          std::uint64_t{0xFFFF} << 0x20 | std::uint64_t{1} << 0x3E;

// A JPEG file read marker by marker up to its end-of-image marker: markers without a length
// (TEM, restarts), fill bytes, segments within the file, exactly one frame header (Huffman
// coded, 8 bits, 1, 3 or 4 components) before the scans, each scan's data up to the next marker.
// Anything else, even bytes a decoder would skip, refuses the file: another decoder may read
// it otherwise. The decoder holds its output and, for more than one scan, the coefficients of
// the whole picture at 2 bytes a component; the converter a copy of its output.
Walk WalkJpeg(std::string_view file, PictureCheck& check) {
    Walk walk;
    int components = 0;
    bool progressive = false;
    for (std::size_t at = 2; file.size() - at >= 2 && file[at] == '\xFF';) {
        const unsigned marker = Byte(file, at + 1);
        at += marker == 0xFF ? 1 : 2; // a fill byte, or the marker
        if (marker == 0xFF || marker == 0x01 || (marker & 0xF8) == 0xD0) {
            continue;
        }
        if (marker == 0xD9) {
            check.decodeLength = at;
            if (check.scans > kMaxJpegScans) {
                check.fault = PictureFault::Scans;
            } else if (check.scans != 0) {
                walk.bytesPerPixel =
                    components * (check.scans > 1 || progressive ? 4 : 2) + kCopyAndBitmap;
            }
            break;
        }
        if (marker < 0xC0 || (kSegmentMarkers >> (marker - 0xC0) & 1) == 0 ||
            file.size() - at < 2) {
            break;
        }
        const std::size_t length = BigU16(file, at);
        if (length < 2 || file.size() - at < length) {
            break;
        }
        const std::string_view body(file.data() + at + 2, length - 2);
        at += length;
        if (marker <= 0xC2) {
            // 8 bits, the size, then 1, 3 or 4 components, each with its sampling and table.
            if (check.frames++ != 0 ||
                (body.size() != 9 && body.size() != 15 && body.size() != 18) ||
                body.size() != 6 + 3 * Byte(body, 5) || body[0] != 8) {
                break;
            }
            components = static_cast<int>(Byte(body, 5));
            walk.height = BigU16(body, 1);
            walk.width = BigU16(body, 3);
            progressive = marker == 0xC2;
        } else if (marker == 0xDA) {
            // Its components, 1 to 4, each with its tables, then the spectral selection.
            if (check.frames == 0 || body.size() < 6 || body.size() > 12 ||
                body.size() != 4 + 2 * Byte(body, 0)) {
                break;
            }
            ++check.scans;
            at = ScanDataEnd(file, at);
        }
    }
    return walk;
}

// Skips the data sub-blocks that start at `at`, up to the empty one; the file's length when they
// do not end within it.
std::size_t SubBlocksEnd(std::string_view file, std::size_t at) {
    while (at < file.size() && file[at] != 0) {
        at += 1 + Byte(file, at);
    }
    return at < file.size() ? at + 1 : file.size();
}

// A GIF file read block by block up to its trailer: the logical screen, extensions, and frames
// each inside the screen. Only the first frame is decoded, into a byte a pixel, which the
// decoder may copy once to lay out and the converter once more.
Walk WalkGif(std::string_view file, PictureCheck& check) {
    const auto table = [&](std::size_t flags) {
        return (flags & 0x80) != 0 ? std::size_t{3} << ((flags & 7) + 1) : 0;
    };
    if (file.size() < 13) {
        return {};
    }
    const int width = U16(file, 6), height = U16(file, 8);
    std::size_t at = 13 + table(Byte(file, 10));
    while (at < file.size() && file[at] != ';') {
        if (file[at] == '!') { // its label, then sub-blocks (none when cut short)
            at = SubBlocksEnd(file, at + 2);
        } else if (file[at] == ',' && file.size() - at >= 10) {
            const int left = U16(file, at + 1), top = U16(file, at + 3);
            const int frameWidth = U16(file, at + 5), frameHeight = U16(file, at + 7);
            at += 10 + table(Byte(file, at + 9));
            if (frameWidth == 0 || frameHeight == 0 || left + frameWidth > width ||
                top + frameHeight > height || at >= file.size() || Byte(file, at) - 2 > 6) {
                return {};
            }
            at = SubBlocksEnd(file, at + 1);
            if (check.frames++ == 0) {
                check.decodeLength = at + 1;
            }
        } else {
            return {};
        }
    }
    return at < file.size() && check.frames > 0 ? Walk{width, height, 3 + kCopyAndBitmap} : Walk{};
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
        // The system's bitmap, and a copy at the screen's DPI.
        Accept(check, dpi > kFileDpi ? 8 : 4);
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
    PictureCheck check{PictureFault::Damaged};
    const Walk walk = format == PictureFormat::Png    ? WalkPng(bytes, check)
                      : format == PictureFormat::Jpeg ? WalkJpeg(bytes, check)
                                                      : WalkGif(bytes, check);
    if (walk.bytesPerPixel != 0 && Keep(check, walk.width, walk.height, dpi)) {
        check.scans += check.scans == 0; // a PNG or GIF file: one
        Accept(check, walk.bytesPerPixel);
    }
    return check;
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

bool PictureBudget::Take(const PictureCheck& check) {
    // At most kMaxPicturePixels, so the sums stay far within 64 bits. A decode holds at least
    // the bitmap it keeps.
    if (bytes_ + check.peakBytes > kMaxMenuPictureBytes) {
        return false;
    }
    bytes_ += check.width * check.height * 4;
    return true;
}
