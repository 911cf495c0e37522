// Any bytes, read as the menu reads its file: a tree or xmlError, nothing else.
// The tree is the one the literal rules build, and keeps the reader's promises.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Require.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"
#include "xmlOracle.h"

namespace {

constexpr std::size_t kOracleChars = 2048;

bool Trimmed(std::wstring_view text) {
    return TrimWhiteSpace(text).size() == text.size();
}

// Where the reader says an attribute stands, the text holds its quotes and its name.
void CheckPlaces(std::wstring_view text, const xmlElement& e) {
    Require(e.GetOffset() >= text.size() || text[e.GetOffset()] == L'<' || e.GetOffset() == 0,
            "an element's place is not its '<'");
    for (std::size_t i = 0; i < e.GetAttributeCount(); ++i) {
        const xmlAttributePlace& place = e.GetAttributePlace(i);
        if (place.name == xmlAttributePlace::npos) {
            continue;
        }
        Require(place.name > e.GetOffset() && place.name < place.openQuote &&
                    place.openQuote < place.closeQuote && place.closeQuote < text.size() &&
                    text[place.openQuote] == L'"' && text[place.closeQuote] == L'"',
                "an attribute's place does not hold its quotes");
        const std::wstring_view name = e.GetAttributeName(i);
        Require(LowerAsciiLetters(text.substr(place.name, name.size())) == name,
                "an attribute's place does not hold its name");
    }
}

void CheckTree(std::wstring_view text, const xmlElement& root) {
    struct Open {
        const xmlElement* element;
        std::size_t depth;
    };
    std::vector<Open> open{{&root, 1}};
    while (!open.empty()) {
        const auto [e, depth] = open.back();
        open.pop_back();
        Require(depth <= kMaxElementDepth, "an element deeper than the reader accepts");
        CheckPlaces(text, *e);
        const std::wstring_view name = e->GetName();
        Require(Trimmed(name) && name.find_first_of(L" >") == std::wstring_view::npos,
                "an element name untrimmed or holding a space or '>'");
        for (std::size_t i = 0; i < e->GetAttributeCount(); ++i) {
            const std::wstring_view attr = e->GetAttributeName(i);
            const std::wstring_view value = e->GetAttributeValue(i);
            Require(LowerAsciiLetters(attr) == attr, "an attribute name with a letter A-Z");
            Require(Trimmed(attr) && attr.find_first_of(L" >") == std::wstring_view::npos,
                    "an attribute name untrimmed or holding a space or '>'");
            Require(Trimmed(value) && value.find(L'>') == std::wstring_view::npos,
                    "an attribute value untrimmed or holding '>'");
        }
        for (std::size_t c = 0; c < e->GetChildCount(); ++c) {
            open.push_back({e->GetChild(c), depth + 1});
        }
    }
}

void CheckErrorPosition(std::wstring_view text, const xmlError& error) {
    Require(error.Offset() <= text.size(), "an error offset beyond the text");
    const TextPosition at = PositionOf(text, error.Offset());
    const std::wstring_view before = text.substr(0, error.Offset());
    const std::size_t lineStart = before.rfind(L'\n') + 1; // 0 on the first line
    Require(at.line ==
                1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), L'\n')),
            "an error's line is not its offset's line");
    Require(at.column >= 1 && at.column <= before.size() - lineStart + 1,
            "an error's column lies outside its line");
}

// Whether two trees are equal, without building their texts (that would cost the fuzzer most
// of its time in allocations).
bool SameTree(const xmlElement& a, const xmlElement& b) {
    std::vector<std::pair<const xmlElement*, const xmlElement*>> open{{&a, &b}};
    while (!open.empty()) {
        const auto [x, y] = open.back();
        open.pop_back();
        if (x->GetName() != y->GetName() || x->GetAttributeCount() != y->GetAttributeCount() ||
            x->GetChildCount() != y->GetChildCount()) {
            return false;
        }
        for (std::size_t i = 0; i < x->GetAttributeCount(); ++i) {
            if (x->GetAttributeName(i) != y->GetAttributeName(i) ||
                x->GetAttributeValue(i) != y->GetAttributeValue(i)) {
                return false;
            }
        }
        for (std::size_t c = 0; c < x->GetChildCount(); ++c) {
            open.emplace_back(x->GetChild(c), y->GetChild(c));
        }
    }
    return true;
}

// Whether the literal rules build the same tree (false where they refuse the text).
bool OracleAgrees(std::wstring_view text, const xmlElement& root) {
    try {
        return SameTree(OracleParse(text)->Root(), root);
    } catch (const std::invalid_argument&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring text = DecodeConfigText(bytes);
    // The check-state rewrite decodes in two steps and relies on the same text.
    Require(DecodeUtf8(ReadTextMode(bytes)) == text, "the two-step decoding differs");
    try {
        const auto parsed = ParseConfigBytes(bytes);
        Require(parsed->RootEndTag() == xmlAttributePlace::npos ||
                    text.compare(parsed->RootEndTag(), 2, L"</") == 0,
                "the root's end tag is not where the reader says");
        CheckTree(text, parsed->Root());
        // A tree must be the one the literal rules build. A refusal where they build one (limits
        // on what one file may build) is the unit tests' business. The literal rules take time
        // with the square of the text, so only shorter texts are compared.
        Require(text.size() > kOracleChars || OracleAgrees(text, parsed->Root()),
                "a tree the literal rules do not build");
    } catch (const xmlError& error) {
        CheckErrorPosition(text, error);
    }
    return 0;
}
