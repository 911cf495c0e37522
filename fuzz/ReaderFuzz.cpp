// Any bytes, read as the menu reads its file: a tree or xmlError, nothing else.
// The tree is the one the literal rules build, and keeps the reader's promises.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Require.h"
#include "TreeText.h"
#include "config/TextDecoding.h"
#include "config/xmlReader.h"
#include "xmlOracle.h"

namespace {

bool Trimmed(std::wstring_view text) {
    return TrimWhiteSpace(text).size() == text.size();
}

void CheckTree(const xmlElement& root) {
    struct Open {
        const xmlElement* element;
        std::size_t depth;
    };
    std::vector<Open> open{{&root, 1}};
    while (!open.empty()) {
        const auto [e, depth] = open.back();
        open.pop_back();
        Require(depth <= kMaxElementDepth, "an element deeper than the reader accepts");
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

std::optional<std::string> OracleTree(std::wstring_view text) {
    try {
        return TreeText(OracleParse(text)->Root());
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = DecodeConfigText({reinterpret_cast<const char*>(data), size});
    std::optional<std::string> tree;
    try {
        const auto parsed = ParseXmlText(text);
        CheckTree(parsed->Root());
        tree = TreeText(parsed->Root());
    } catch (const xmlError& error) {
        CheckErrorPosition(text, error);
    }
    // A tree must be the one the literal rules build (none where they refuse the text). A
    // refusal where they build one (limits on what one file may build) is the unit tests' business.
    Require(!tree || tree == OracleTree(text), "a tree the literal rules do not build");
    return 0;
}
