#include "config/AttributeEdit.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/InPlaceEdit.h"
#include "xml/TextDecoding.h"
#include "xml/TextOffsets.h"
#include "xml/xmlReader.h"

namespace {

constexpr std::size_t npos = std::wstring_view::npos;

// Whether the file can hold the character at text[i] as itself: the reading stops at NUL and
// at U+001A, takes CR LF for a line feed, and a lone surrogate has no UTF-8 form.
bool Writable(std::wstring_view text, std::size_t& i) {
    const auto c = static_cast<std::uint32_t>(text[i]);
    if (c == 0 || c == 0x1A || c == L'\r' || c > 0x10FFFF) {
        return false;
    }
    if (c >= 0xD800 && c <= 0xDBFF && sizeof(wchar_t) == 2 && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        ++i; // a pair: one character
        return true;
    }
    return c < 0xD800 || c > 0xDFFF;
}

// The text that reads back as `value` between double quotes.
EditRefusal EscapeValue(std::wstring_view value, std::wstring& escaped) {
    if (!value.empty() && (IsWhiteSpace(value.front()) || IsWhiteSpace(value.back()))) {
        return EditRefusal::EdgeWhiteSpace;
    }
    if (!value.empty() && value.back() == L'\\') {
        return EditRefusal::TrailingBackslash;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::size_t at = i;
        if (!Writable(value, i)) {
            return EditRefusal::UnwritableCharacter;
        }
        if (value[at] == L'>') {
            return EditRefusal::GreaterThan;
        }
        if (value[at] == L'"') {
            escaped += L'\\';
        }
        escaped.append(value.substr(at, i + 1 - at));
    }
    return EditRefusal::None;
}

// The bytes of new text: UTF-8, as the menu reads every file, each line feed as the file's
// line end. U+FFFD is refused: the reader makes it of bytes that are not UTF-8, which the
// author wrote and the view never showed, so writing it would destroy them.
EditRefusal EncodeText(std::wstring_view text, std::string_view lineEnd, std::string& out) {
    if (text.find(L'\uFFFD') != npos) {
        return EditRefusal::UnwritableCharacter;
    }
    for (const char c : EncodeUtf8(text)) {
        if (c == '\n') {
            out.append(lineEnd);
        } else {
            out.push_back(c);
        }
    }
    return EditRefusal::None;
}

bool HighSurrogate(wchar_t c) {
    return sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF;
}

bool LowSurrogate(wchar_t c) {
    return sizeof(wchar_t) == 2 && c >= 0xDC00 && c <= 0xDFFF;
}

// Whether `name` reads back as itself as a new attribute's name.
bool NameWritable(std::wstring_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        if (IsWhiteSpace(c) || c == L'=' || c == L'"' || c == L'<' || c == L'>' || c == L'/' ||
            !Writable(name, i)) {
            return false;
        }
    }
    return !name.empty();
}

EditResult Refused(EditRefusal why) {
    return {std::nullopt, why};
}

} // namespace

const wchar_t* EditRefusalText(EditRefusal refusal) {
    switch (refusal) {
    case EditRefusal::None:
        return L"Written.";
    case EditRefusal::UnreadableFile:
        return L"The file cannot be read as it is now.";
    case EditRefusal::NotInPlace:
        return L"The value does not stand on its own in its element's start tag.";
    case EditRefusal::BadName:
        return L"An attribute of that name cannot be written.";
    case EditRefusal::UnwritableCharacter:
        return L"The value holds a character the file cannot hold.";
    case EditRefusal::GreaterThan:
        return L"A value cannot hold \">\".";
    case EditRefusal::TrailingBackslash:
        return L"A value cannot end with a backslash.";
    case EditRefusal::EdgeWhiteSpace:
        return L"A value cannot begin or end with white space.";
    case EditRefusal::ReadsDifferently:
        return L"The file would read differently beyond this value.";
    case EditRefusal::FileChanged:
        return L"Another program changed the file.";
    case EditRefusal::NotWritten:
        return L"The file cannot be written.";
    }
    return L"";
}

EditResult EditAttribute(std::string_view fileBytes, const xmlTree& tree, const xmlElement& element,
                         std::wstring_view name, std::wstring_view value) {
    const std::wstring_view text = tree.Text();
    const std::wstring key = LowerAsciiLetters(name);
    std::size_t index = 0;
    while (index < element.GetAttributeCount() && element.GetAttributeName(index) != key) {
        ++index;
    }
    const bool adding = index == element.GetAttributeCount();
    if (!adding && element.GetAttributeValue(index) == value) {
        return {std::string(fileBytes), EditRefusal::None};
    }
    const std::size_t lf = fileBytes.find('\n');
    const std::string_view lineEnd =
        lf != npos && lf > 0 && fileBytes[lf - 1] == '\r' ? "\r\n" : "\n";
    std::wstring escaped;
    if (const EditRefusal why = EscapeValue(value, escaped); why != EditRefusal::None) {
        return Refused(why);
    }
    std::string encoded;
    // The units [begin, end) of the text give way to the new bytes.
    std::size_t begin = 0;
    std::size_t end = 0;
    if (adding) {
        if (!NameWritable(name)) {
            return Refused(EditRefusal::BadName);
        }
        const std::size_t gt = text.find(L'>', element.GetOffset());
        if (gt == npos) {
            return Refused(EditRefusal::NotInPlace);
        }
        begin = gt;
        if (begin > element.GetOffset() && text[begin - 1] == L'/') {
            --begin;
        }
        while (begin > element.GetOffset() + 1 && IsWhiteSpace(text[begin - 1])) {
            --begin;
        }
        end = begin;
        encoded = ' ' + EncodeUtf8(name) + "=\"";
        if (const EditRefusal why = EncodeText(escaped, lineEnd, encoded);
            why != EditRefusal::None) {
            return Refused(why);
        }
        encoded += '"';
    } else {
        if (!ValueInPlace(element, index)) {
            return Refused(EditRefusal::NotInPlace);
        }
        // The value without the white space around it, which reading trims and which stays;
        // an empty one starts after the opening quote.
        const xmlAttributePlace place = element.GetAttributePlace(index);
        begin = place.openQuote + 1;
        end = place.closeQuote;
        while (begin < end && IsWhiteSpace(text[begin])) {
            ++begin;
        }
        while (end > begin && IsWhiteSpace(text[end - 1])) {
            --end;
        }
        if (begin == end) {
            begin = end = place.openQuote + 1;
        }
        // The units the old and the new value share at either end keep their bytes, whatever
        // encoding the author wrote them in; only the stretch between is new.
        const std::wstring_view old = text.substr(begin, end - begin);
        std::size_t same = 0;
        while (same < old.size() && same < escaped.size() && old[same] == escaped[same]) {
            ++same;
        }
        if (same > 0 && HighSurrogate(escaped[same - 1])) {
            --same;
        }
        std::size_t tail = 0;
        while (tail < old.size() - same && tail < escaped.size() - same &&
               old[old.size() - 1 - tail] == escaped[escaped.size() - 1 - tail]) {
            ++tail;
        }
        if (tail > 0 && LowSurrogate(escaped[escaped.size() - tail])) {
            --tail;
        }
        const std::wstring_view middle =
            std::wstring_view(escaped).substr(same, escaped.size() - same - tail);
        if (const EditRefusal why = EncodeText(middle, lineEnd, encoded);
            why != EditRefusal::None) {
            return Refused(why);
        }
        begin += same;
        end -= tail;
    }
    // Where the units stand in the bytes; the text's length must be where decoding stops.
    std::vector<std::size_t> offsets{begin, end, text.size(), text.size() + 1};
    ConfigTextByteOffsets(fileBytes, offsets);
    if (offsets[2] == npos || offsets[3] != npos) {
        return Refused(EditRefusal::UnreadableFile);
    }
    std::string bytes(fileBytes.substr(0, offsets[0]));
    bytes += encoded;
    bytes.append(fileBytes.substr(offsets[1]));
    try {
        const auto after = ParseConfigBytes(bytes);
        if (!ReadsAsEdited(tree.Root(), after->Root(), {{&element, index, name, value}})) {
            return Refused(EditRefusal::ReadsDifferently);
        }
    } catch (const xmlError&) {
        return Refused(EditRefusal::ReadsDifferently);
    }
    return {std::move(bytes), EditRefusal::None};
}

EditRefusal WriteAttributeEdit(const std::wstring& configPath, std::string_view fileBytes,
                               const xmlTree& tree, const xmlElement& element,
                               std::wstring_view name, std::wstring_view value,
                               CheckStateFiles& files) {
    const EditResult edit = EditAttribute(fileBytes, tree, element, name, value);
    if (!edit.bytes) {
        return edit.refusal;
    }
    // The edit holds for the bytes it was made on only.
    struct Replace final : ConfigRewrite {
        Replace(std::string_view old, const std::string& now) : read(old), bytes(now) {}
        std::optional<std::string> NewBytes(std::string_view current) override {
            changed = current != read;
            return changed ? std::nullopt : std::optional<std::string>(bytes);
        }
        std::string_view read;
        const std::string& bytes;
        bool changed = false;
    };
    Replace rewrite(fileBytes, *edit.bytes);
    if (!RewriteConfigFile(configPath, rewrite, files)) {
        return rewrite.changed ? EditRefusal::FileChanged : EditRefusal::NotWritten;
    }
    return EditRefusal::None;
}
