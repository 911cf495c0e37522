// The menu's reader: the rules applied to the file's UTF-8 bytes themselves.
#include <cstddef>
#include <string>
#include <string_view>

#include "config/TextDecoding.h"
#include "config/xmlReader.h"
#include "config/xmlRules.h"

namespace {

using xmlRules::npos;
using xmlRules::Stored;

// UTF-8 bytes after the text-mode conversion, holding no NUL. Every character the
// rules look for is ASCII, and an ASCII byte always decodes as itself and ends a
// broken sequence before it; so the rules cut the bytes where they cut the decoded
// text, and a piece between two such cuts decodes as that part of the whole.
class Utf8Text {
public:
    using Char = char;
    explicit Utf8Text(std::string_view text) : src(text), index_(text) {}

    // A pass over the whole text; a character takes at most four bytes.
    std::size_t Units() const { return DecodedLength(src); }
    std::size_t UnitsAtLeast() const { return src.size() / 4; }
    // The unit index of byte `b`, which starts a character.
    std::size_t UnitAt(std::size_t b) { return index_.At(b); }
    std::size_t UnitsIn(std::string_view piece) const { return DecodedLength(piece); }
    template <bool kLower, bool kUnescape>
    Stored Store(std::string_view piece, wchar_t* out) const {
        std::size_t decoded = 0;
        const std::size_t units = StoredFormOfUtf8(piece, out, decoded, kLower, kUnescape);
        return {units, decoded};
    }
    // White space is whole characters below U+10000.
    std::size_t RawLength(std::wstring_view units) const {
        std::size_t bytes = 0;
        for (const wchar_t c : units) {
            bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        }
        return bytes;
    }
    // Pieces of the gap are joined as decoded text: a broken sequence at the end of one
    // piece must not take the bytes that start the next. Decoded and encoded again, each
    // piece is whole characters.
    void AppendGap(std::string& gap, std::string_view piece) const {
        if (AsciiOnly(piece)) {
            gap.append(piece);
        } else {
            gap.append(EncodeUtf8(DecodeUtf8(piece)));
        }
    }
    // Where the end tag at `l` for `name` ends when its bytes differ from the start tag's
    // but decode alike (broken sequences become one U+FFFD whatever their bytes); else npos.
    std::size_t EndTagDecodingAlike(std::size_t l, std::wstring_view name) {
        if (src.size() - l < 3 || src[l + 1] != '/') {
            return npos;
        }
        // Each unit takes at most four bytes, so the name and the '>' lie within this window.
        const std::wstring decoded = DecodeUtf8(src.substr(l + 2, 4 * (name.size() + 1)));
        if (decoded.size() <= name.size() || decoded.compare(0, name.size(), name) != 0 ||
            decoded[name.size()] != L'>') {
            return npos;
        }
        return src.find('>', l + 2) + 1; // a name holds no '>'
    }

    std::string_view src;

private:
    Utf8UnitIndex index_;
};

} // namespace

std::unique_ptr<xmlTree> ParseConfigBytes(std::string_view fileBytes) {
    auto tree = std::make_unique<xmlTree>(fileBytes.size());
    const std::string_view text = tree->KeepConfigText(fileBytes);
    return xmlRules::Parser<Utf8Text>(Utf8Text(text)).Run(std::move(tree));
}
