// The reader of decoded text, which the tools use: they report places in it.
#include "config/xmlReader.h"

#include <algorithm>
#include <cstddef>

#include "config/xmlRules.h"

namespace {

using xmlRules::npos;
using xmlRules::Stored;

// Text that is already decoded: every index is a unit index.
class WideText {
public:
    using Char = wchar_t;
    explicit WideText(std::wstring_view text) : src(text) {}

    std::size_t Units() const { return src.size(); }
    std::size_t UnitsAtLeast() const { return src.size(); }
    std::size_t UnitAt(std::size_t i) { return i; }
    std::size_t UnitsIn(std::wstring_view piece) const { return piece.size(); }
    // The stored form of a piece of text, written to `out`, which has room for piece.size().
    template <bool kLower, bool kUnescape>
    Stored Store(std::wstring_view piece, wchar_t* out) const {
        return {StoredForm<kLower, kUnescape>(piece.data(), piece.size(), out), piece.size()};
    }
    // How much of the text the decoded `units` (leading or trailing white space) took.
    std::size_t RawLength(std::wstring_view units) const { return units.size(); }
    void AppendGap(std::wstring& gap, std::wstring_view piece) const { gap.append(piece); }
    // An end tag whose text differs from the start tag's still ends it when it decodes alike;
    // decoded text that differs never does.
    std::size_t EndTagDecodingAlike(std::size_t, std::wstring_view) { return npos; }

    std::wstring_view src;
};

} // namespace

std::unique_ptr<xmlTree> ParseXmlText(std::wstring_view text) {
    return xmlRules::Parser<WideText>(WideText(text)).Run(std::make_unique<xmlTree>(text.size()));
}

TextPosition PositionOf(std::wstring_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    TextPosition at{1, 1};
    for (std::size_t i = 0; i < offset; ++i) {
        const wchar_t c = text[i];
        if (c == L'\n') {
            ++at.line;
            at.column = 1;
        } else if ((c < 0xDC00 || c > 0xDFFF) && !(i == 0 && c == 0xFEFF)) {
            // A low surrogate completes a character already counted; a byte order mark is no
            // column.
            ++at.column;
        }
    }
    return at;
}
