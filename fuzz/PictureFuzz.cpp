// Any bytes as a picture file from the medium (BMP, PNG, JPEG, GIF, icon): the checks read
// only what the file holds, a bitmap they pass holds its pixels within the file, and any
// picture they pass stays within the caps.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Require.h"
#include "pictures/PictureCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const std::string_view head = file.substr(0, kBitmapHeadBytes);
    // The DPI from the first byte: the caps hold at every size the menu scales to.
    const int dpi = size == 0 ? 96 : 96 + data[0] % 4 * 48;
    const PictureCheck check = CheckBitmap(head, size, dpi);
    if (check.fault == PictureFault::None) {
        // The loader reads the pixels from the offset in the file header.
        const std::uint32_t pixelsAt =
            static_cast<unsigned char>(file[10]) | static_cast<unsigned char>(file[11]) << 8 |
            static_cast<unsigned char>(file[12]) << 16 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(file[13])) << 24;
        Require(pixelsAt <= size, "a valid bitmap's pixels start beyond its end");
        Require(check.width > 0 && check.height > 0 && check.width <= kMaxPictureSide &&
                    check.height <= kMaxPictureSide &&
                    check.width * check.height <= kMaxPicturePixels,
                "a bitmap beyond the caps passed");
        // A longer file with the same head stays valid: only missing bytes make it damaged.
        Require(CheckBitmap(head, std::uint64_t{size} + 1, dpi).fault == PictureFault::None,
                "a longer file is damaged");
        PictureBudget budget;
        Require(budget.Take(check) == (check.peakBytes <= kMaxMenuPictureBytes),
                "one picture passes the budget when its decode fits in it");
    }
    // As the menu reads it: a PNG, JPEG or GIF file whole, a bitmap by its headers.
    const PictureCheck any =
        CheckPictureFile(file.substr(0, PictureBytesNeeded(head, size)), size, dpi);
    if (any.fault == PictureFault::None) {
        Require(any.width > 0 && any.height > 0 && any.width <= kMaxPictureSide &&
                    any.height <= kMaxPictureSide && any.width * any.height <= kMaxPicturePixels,
                "a picture beyond the caps passed");
        Require(FormatOf(file) != PictureFormat::Other, "a picture of no known format passed");
    }
    CheckIcon(file);
    return 0;
}
