// Picture files from the medium checked before the system's loader sees them:
// an incomplete copy or a damaged header must not reach it, as it trusts both.
#pragma once

#include <cstdint>
#include <string_view>

// The most pixels a picture may have on a side and in all: far beyond any
// menu's background, far below what would exhaust a 32-bit process.
inline constexpr std::int64_t kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 26;

// How much of a bitmap file IsSoundBitmap needs: the file header, the largest
// info header, bit-field masks and a full colour table.
inline constexpr std::size_t kBitmapHeadBytes = 14 + 124 + 16 + 256 * 4;

// Whether a bitmap file of `fileLength` bytes that starts with `head` (its first
// kBitmapHeadBytes bytes, or all of a shorter file) has sound headers and holds
// its colour table and all its pixels.
bool IsSoundBitmap(std::string_view head, std::uint64_t fileLength);

// Whether the bytes of an icon file hold a sound directory and every image it lists.
bool IsSoundIcon(std::string_view bytes);
