// Picture files from the medium checked before the system's loader sees them:
// an incomplete copy or a damaged header must not reach it, as it trusts both,
// and no small file may make the menu decode more than it can hold.
#pragma once

#include <cstdint>
#include <string_view>

// The most pixels a picture may have on a side and in all, at the size the menu
// keeps it (after "dpiscale"): far beyond any menu's background, far below what
// would exhaust a 32-bit process.
inline constexpr std::int64_t kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 26;
// The most pixels a side of an icon's image may have, as the icon format allows.
inline constexpr std::int64_t kMaxIconSide = 256;
// The most memory the pictures of one menu may take together: those kept, at 4 bytes a pixel,
// and the one being decoded, at what its decode holds at its peak.
inline constexpr std::int64_t kMaxMenuPictureBytes = std::int64_t{256} << 20;
// The most scans a JPEG file may have: the decoder passes over the whole picture for each,
// however few bytes it holds. Real progressive files have about ten.
inline constexpr int kMaxJpegScans = 100;

// How much of a bitmap file CheckBitmap needs: the file header, the largest
// info header, bit-field masks and a full colour table.
inline constexpr std::size_t kBitmapHeadBytes = 14 + 124 + 16 + 256 * 4;

// Why a picture file shows nothing.
enum class PictureFault {
    None,      // it loads
    Format,    // not a BMP, PNG, JPEG or GIF (or icon) file
    Damaged,   // headers that make no sense, or fewer bytes than they promise
    Side,      // a side beyond kMaxPictureSide
    Pixels,    // more than kMaxPicturePixels
    IconImage, // an icon image with a side beyond kMaxIconSide
    Total,     // the menu's pictures would pass kMaxMenuPictureBytes together
    Length,    // a PNG, JPEG or GIF file longer than kMaxCodedFileBytes
    Scans,     // a JPEG file of more than kMaxJpegScans scans
};

// The picture files the menu takes, told apart by their first bytes.
enum class PictureFormat {
    Bitmap, // "BM": the system's bitmap loader
    Png,
    Jpeg,
    Gif,
    Other,
};

// The longest PNG, JPEG or GIF file the menu reads: it reads such a file whole, to check
// that it is complete before it is decoded.
inline constexpr std::uint64_t kMaxCodedFileBytes = std::uint64_t{32} << 20;

// A picture's verdict, the size the menu would keep it at, and what its decode holds and sees.
struct PictureCheck {
    PictureFault fault = PictureFault::Format;
    std::int64_t width = 0;
    std::int64_t height = 0;
    // The most memory loading it holds at once: the decoder's buffers, the converted copy and
    // the bitmap, at bytes per pixel as decoded and at the size it is kept.
    std::int64_t peakBytes = 0;
    // How many of the file's bytes the decoder is given: a PNG or JPEG file up to its end
    // marker, a GIF file up to its first frame and one byte the loader makes its trailer.
    std::uint64_t decodeLength = 0;
    int frames = 0; // the frames a GIF file holds; 1 for a PNG or JPEG file
    int scans = 0;  // the scans a JPEG file holds; 1 for a PNG or GIF file
};

// Whether a bitmap file of `fileLength` bytes that starts with `head` (its first
// kBitmapHeadBytes bytes, or all of a shorter file) has valid headers, holds its
// colour table and all its pixels, and stays within the caps when scaled from
// the file's 96 DPI to `dpi`.
PictureCheck CheckBitmap(std::string_view head, std::uint64_t fileLength, int dpi);

PictureFormat FormatOf(std::string_view head);

// How many of its first bytes a picture file of `fileLength` bytes that starts with `head`
// (at least its first kBitmapHeadBytes bytes) needs checked: a PNG, JPEG or GIF file whole.
std::uint64_t PictureBytesNeeded(std::string_view head, std::uint64_t fileLength);

// Any picture file the menu takes, given its first PictureBytesNeeded bytes and its length:
// a bitmap as CheckBitmap; a PNG, JPEG or GIF file when every part of it reads by its format's
// grammar in one way only, up to its end marker (bytes after it are never read), with one
// picture within the caps at `dpi`.
PictureCheck CheckPictureFile(std::string_view bytes, std::uint64_t fileLength, int dpi);

// Whether the bytes of an icon file hold a valid directory and every image it lists.
PictureFault CheckIcon(std::string_view bytes);

// The memory all pictures of one menu take, each counted once at the size it is kept.
class PictureBudget {
public:
    // Counts a checked picture, kept at 4 bytes a pixel, or false (counting nothing) when its
    // decode would take the pictures beyond kMaxMenuPictureBytes.
    bool Take(const PictureCheck& check);

private:
    std::int64_t bytes_ = 0;
};
