// These read numbers, colours, fonts and on/off switches written as configuration text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class xmlElement;

// A colour is 0x00BBGGRR, as the platform's COLORREF.
using ColorRef = std::uint32_t;

// Reads decimal text as "%d" scans it: white space skipped, optional sign, digits up
// to the first other character. No digits give 0, like empty text; values
// beyond the 32-bit range are clamped to its nearest end.
std::int32_t TextToInt(std::wstring_view text);

// Reads a program's 32-bit exit code as written: decimal 0 to 4294967295, or -2147483648 to -1
// for the same bits (-1 is 4294967295), with an optional sign. None for any other text
// (empty, hexadecimal, out of range, other characters): such a value never matches.
std::optional<std::uint32_t> ExitCodeFromText(std::wstring_view text);

// Reads three numbers separated by spaces, red first.
ColorRef ColorFromText(std::wstring_view text);

// Applies ColorFromText to an attribute; a missing element reads as one without any (black).
ColorRef ReadColor(const xmlElement* element, std::wstring_view attrName);

// An on/off attribute is on only when its text is exactly "true".
bool IsOn(std::wstring_view text);

// ReadFont asks the platform for this; the font itself is made where windows are.
struct FontSpec {
    std::wstring face;
    std::int32_t height = 0;
    std::int32_t weight = 500;
    bool italic = false;
    bool underline = false;

    bool operator==(const FontSpec&) const = default;
};

inline constexpr std::int32_t kFontWeightBold = 1020;
inline constexpr std::int32_t kFontWeightNormal = 500;

// Reads the attributes "font" and "fontsize". A missing element reads as one without
// attributes (the platform's default face and height).
FontSpec ReadFontSpec(const xmlElement* element);
