#include "config/ValueConversions.h"

#include <limits>

#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"

namespace {

std::wstring Attribute(const xmlElement* element, std::wstring_view name) {
    return element == nullptr ? std::wstring() : element->GetAttribute(name);
}

std::wstring_view TrimSpaces(std::wstring_view v) {
    const std::size_t b = v.find_first_not_of(L' ');
    if (b == std::wstring_view::npos) {
        return {};
    }
    return v.substr(b, v.find_last_not_of(L' ') - b + 1);
}

} // namespace

std::int32_t TextToInt(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > kMax + 1) {
            value = kMax + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > kMax) {
        return static_cast<std::int32_t>(kMax);
    }
    return static_cast<std::int32_t>(value < kMin ? kMin : value);
}

std::optional<std::uint32_t> ExitCodeFromText(std::wstring_view text) {
    const bool negative = !text.empty() && text[0] == L'-';
    const std::size_t first = !text.empty() && (negative || text[0] == L'+') ? 1 : 0;
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : 0xFFFFFFFFu;
    std::uint64_t value = 0;
    for (std::size_t i = first; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(text[i] - L'0');
        if (value > limit) {
            return std::nullopt;
        }
    }
    if (first == text.size()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(negative ? 0 - value : value);
}

ColorRef ReadColor(const xmlElement* element, std::wstring_view attrName) {
    return ColorFromText(Attribute(element, attrName));
}

ColorRef ColorFromText(std::wstring_view text) {
    std::wstring_view v = TrimWhiteSpace(text);
    std::size_t space = v.find(L' ');
    if (space == std::wstring_view::npos) {
        return 0;
    }
    const auto low8 = [](std::int32_t n) { return static_cast<ColorRef>(n) & 0xFFu; };
    const ColorRef red = low8(TextToInt(v.substr(0, space)));
    v = TrimSpaces(v.substr(space));
    space = v.find(L' ');
    if (space == std::wstring_view::npos) {
        return red;
    }
    const ColorRef green = low8(TextToInt(v.substr(0, space)));
    const ColorRef blue = low8(TextToInt(TrimSpaces(v.substr(space))));
    return red | (green << 8) | (blue << 16);
}

bool IsOn(std::wstring_view text) {
    return text == L"true";
}

FontSpec ReadFontSpec(const xmlElement* element) {
    const std::wstring f = Attribute(element, L"font");
    FontSpec spec;
    spec.face = f.substr(0, f.find(L' '));
    spec.italic = f.find(L"Italic") != std::wstring::npos;
    spec.weight = f.find(L"Bold") != std::wstring::npos ? kFontWeightBold : kFontWeightNormal;
    spec.underline = f.find(L"Underline") != std::wstring::npos;
    spec.height = TextToInt(Attribute(element, L"fontsize"));
    return spec;
}
