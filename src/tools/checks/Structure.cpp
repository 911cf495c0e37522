// Structure: where the menu's reading of the file differs from standard XML's. The rules
// lay the menu's tree beside the one standard XML reads and name each place where they part.
#include <algorithm>

#include "tools/checks/Checks.h"
#include "xml/TextDecoding.h"

namespace checks {

namespace {

void StructureError(CheckContext& c, const IntentError& error) {
    if (error.what.ends_with("has no end tag")) {
        c.Error(error.offset, "end-tag",
                error.what + ": everything after it belongs to it; add its end tag");
    } else if (error.what.find("end tag") != std::string::npos ||
               error.what.find("does not end") != std::string::npos) {
        c.Error(error.offset, "end-tag",
                error.what + ": the menu reads everything up to the next fitting end tag as "
                             "inside the open element");
    } else if (error.suspectValue) {
        c.Error(*error.suspectValue, "quote",
                "a double quote is missing or one too many in or after this value: the menu "
                "pairs every later quote differently");
    } else if (error.what.find("quote") != std::string::npos) {
        c.Error(error.offset, "quote",
                error.what + ": write every value in double quotes, name=\"value\"");
    } else {
        c.Warning(error.offset, "xml-syntax",
                  "standard XML cannot read the file here (" + error.what +
                      "); check what the menu reads with navora-check --tree");
    }
}

// The value written so that the menu reads what the file means: "\"" for a quote, "&&" for an
// '&' where Windows underlines, no white space or backslash at the ends (the menu drops the
// one and the other escapes the quote). None when no writing holds it: a value never holds '>'.
std::optional<std::wstring> WrittenValue(std::wstring_view value, bool underlines) {
    std::wstring_view v = TrimWhiteSpace(value);
    while (!v.empty() && v.back() == L'\\') {
        v.remove_suffix(1);
    }
    if (v.find(L'>') != npos) {
        return std::nullopt;
    }
    std::wstring out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == L'"') {
            out += L"\\\"";
        } else if (v[i] == L'&' && underlines) {
            out += L"&&";
            i += i + 1 < v.size() && v[i + 1] == L'&' ? 1 : 0;
        } else {
            out += v[i];
        }
    }
    return out;
}

// How to write the meant value, or why it cannot be written.
std::string FixFor(const IntentAttribute& a, std::wstring_view element) {
    const bool underlines =
        element == L"ButtonLayout" && (a.name == L"caption" || a.name == L"tooltipp");
    const auto fixed = WrittenValue(a.value, underlines);
    return fixed ? "write " + Shown(a.name) + "=\"" + Shown(*fixed) + "\""
                 : "a value cannot hold '>' for the menu: write it without one";
}

void AttributeTrap(CheckContext& c, const IntentAttribute& a, std::wstring_view element,
                   std::wstring_view menuName, std::wstring_view menuValue) {
    const std::string name = Quoted(a.name);
    if (a.quote == L'\'') {
        c.Error(a.valueOffset, "quote",
                "the menu reads values only in double quotes: " + FixFor(a, element));
    } else if (!a.spaceBefore) {
        c.Error(a.offset, "attribute-space",
                "the menu needs a space before the attribute name " + name +
                    " (a tab, a line break or a quote alone does not separate it): it reads " +
                    Quoted(menuName) + " instead");
    } else if (a.backslashEnd) {
        c.Error(a.valueOffset, "backslash-end",
                "the value of " + name +
                    " ends in a backslash, which escapes the closing quote for the menu: it "
                    "reads on to the next quote; drop the last backslash");
    } else if (menuName == a.name && menuValue == TrimWhiteSpace(a.value)) {
        c.Warning(a.valueOffset, "trimmed-value",
                  "the menu drops the white space at both ends of a value: it reads " +
                      Quoted(menuValue));
    } else if (a.entity) {
        c.Error(a.valueOffset, "entity",
                "the menu decodes no entities: it reads " + Quoted(menuValue) + "; " +
                    FixFor(a, element));
    } else {
        c.Error(a.offset, "quote",
                "the menu reads " +
                    (menuName.empty() ? std::string("no attribute")
                                      : Quoted(menuName) + " = " + Quoted(menuValue)) +
                    " here, where the file means " + name + " = " + Quoted(a.value) +
                    "; check the quotes of this tag");
    }
}

void DiffAttributes(CheckContext& c, const xmlElement& menu, const IntentElement& meant) {
    const std::size_t count = std::max(menu.GetAttributeCount(), meant.attributes.size());
    for (std::size_t i = 0; i < count; ++i) {
        const bool inMenu = i < menu.GetAttributeCount();
        const bool inMeant = i < meant.attributes.size();
        if (inMenu && inMeant && menu.GetAttributeName(i) == meant.attributes[i].name &&
            menu.GetAttributeValue(i) == meant.attributes[i].value) {
            continue;
        }
        if (!inMeant) {
            const xmlAttributePlace& place = menu.GetAttributePlace(i);
            c.Error(place.name != npos ? place.name : menu.GetOffset(), "structure",
                    "the menu reads an attribute " + Quoted(menu.GetAttributeName(i)) +
                        " that the file does not mean, from text before or inside this tag");
            return;
        }
        if (inMenu) {
            c.reported.insert(menu.GetAttributePlace(i).name);
        }
        AttributeTrap(c, meant.attributes[i], menu.GetName(),
                      inMenu ? menu.GetAttributeName(i) : std::wstring_view(),
                      inMenu ? menu.GetAttributeValue(i) : std::wstring_view());
        return;
    }
}

// False when the names differ, so that the caller compares no later siblings.
bool Diff(CheckContext& c, const xmlElement& menu, const IntentElement& meant) {
    if (menu.GetName() != meant.name) {
        ElementTrap(c, menu, &meant);
        return false;
    }
    DiffAttributes(c, menu, meant);
    const std::size_t common = std::min(menu.GetChildCount(), meant.children.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (!Diff(c, *menu.GetChild(i), *meant.children[i])) {
            return true;
        }
    }
    if (menu.GetChildCount() > common) {
        ElementTrap(c, *menu.GetChild(common), nullptr);
    } else if (meant.children.size() > common) {
        const IntentElement& lost = *meant.children[common];
        c.Error(lost.offset, "structure",
                "the menu does not read " + Tag(lost.name) + " here: " + Tag(menu.GetName()) +
                    " ends before it for the menu");
    }
    return true;
}

// Returns line and column (in characters) of a byte of text-mode bytes.
std::pair<std::size_t, std::size_t> BytePosition(std::string_view text, std::size_t at) {
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t k = 0; k < at; ++k) {
        if (text[k] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<std::uint8_t>(text[k]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return {line, column};
}

std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto u8 = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t b = u8(i);
    const std::size_t length = b < 0x80                 ? 1
                               : b >= 0xC2 && b <= 0xDF ? 2
                               : b >= 0xE0 && b <= 0xEF ? 3
                               : b >= 0xF0 && b <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((u8(i + k) & 0xC0) != 0x80) {
            return 0;
        }
    }
    if (length == 3) {
        const std::uint32_t cp = (b & 0x0Fu) << 12 | (u8(i + 1) & 0x3Fu) << 6;
        return cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF) ? 3 : 0;
    }
    if (length == 4) {
        const std::uint32_t cp = (b & 0x07u) << 18 | (u8(i + 1) & 0x3Fu) << 12;
        return cp >= 0x10000 && cp <= 0x10FFFF ? 4 : 0;
    }
    return length;
}

} // namespace

bool IsTrapName(std::wstring_view name) {
    return name.empty() || name[0] == L'!' || name[0] == L'/' || name[0] == L'?' ||
           name.back() == L'/';
}

// False when the menu reads the file from another start than the author meant.
bool CheckStructure(CheckContext& c) {
    const std::size_t question = c.text.find(L'?');
    const std::size_t firstTag = c.text.find(L'<');
    if (!c.intent.declaration && question != npos && firstTag != npos && firstTag < question &&
        c.text.find(L'<', question) != npos) {
        c.Error(question, "question-mark",
                "without the declaration <?xml version=\"1.0\" encoding=\"UTF-8\"?> at the top, "
                "the first '?' makes the menu skip everything before the next '<'; add the "
                "declaration as the first line");
        return false;
    }
    for (const std::size_t at : c.intent.ignoredText) {
        c.Warning(at, "ignored-text",
                  "the menu ignores text between tags (a '=', '>' or '/>' in it is even taken "
                  "for markup); delete it");
    }
    if (c.intent.error) {
        StructureError(c, *c.intent.error);
    } else {
        Diff(c, c.tree.Root(), *c.intent.root);
    }
    // Each comment and declaration in one run, also those inside the first one the menu reads.
    for (const std::size_t at : c.intent.comments) {
        c.Error(at, "comment",
                "the menu has no comments: it reads an element named '!--' here, which takes in "
                "what follows it; delete the comment");
    }
    for (const std::size_t at : c.intent.doctypes) {
        c.Error(at, "doctype",
                "the menu reads this '<!' as an element, which takes in what follows it; "
                "delete it");
    }
    return true;
}

// Reports an element the menu reads where the file means another, or none.
void ElementTrap(CheckContext& c, const xmlElement& element, const IntentElement* meant) {
    c.traps.insert(&element);
    const std::wstring_view name = element.GetName();
    const std::size_t at = element.GetOffset();
    const std::string swallows = &element == &c.tree.Root()
                                     ? "it becomes the root, and the real root lies inside it"
                                     : "it takes in everything after it up to its parent's end tag";
    if (name.substr(0, 3) == L"!--") {
        c.Error(at, "comment",
                "the menu has no comments: it reads an element named '!--' here, and " + swallows +
                    "; delete the comment");
    } else if (name.substr(0, 1) == L"!") {
        c.Error(at, "doctype",
                "the menu reads " + Tag(name.substr(0, name.find(L' '))) + " as an element, and " +
                    swallows + "; delete it");
    } else if (name.substr(0, 1) == L"?") {
        c.Error(at, "question-mark",
                "only the declaration at the very top is skipped: the menu reads this '<?' "
                "as an element, and " +
                    swallows);
    } else if (name.substr(0, 1) == L"/") {
        c.Error(at, "end-tag",
                "the menu reads this end tag as an element named " + Quoted(name) +
                    ", and it takes in everything after it; write it exactly " +
                    Tag(name.substr(0, name.find_last_not_of(L' ') + 1)) +
                    ", without spaces, with the name of the element it ends");
    } else if (!name.empty() && name.back() == L'/') {
        const std::wstring_view bare = name.substr(0, name.size() - 1);
        c.Error(at, "empty-element-space",
                "the menu reads an element named " + Quoted(name) + ", not " + Quoted(bare) +
                    ", and it takes in everything after it; write <" + Shown(bare) + " />");
    } else if (meant != nullptr && name.size() > meant->name.size() &&
               name.substr(0, meant->name.size()) == meant->name) {
        c.Error(at, "attribute-space",
                "an element name ends only at a space or '>': the menu reads the name " +
                    Quoted(name) + "; put a space after " + Quoted(meant->name));
    } else {
        c.Error(at, "structure",
                "the menu reads " + Tag(name) + " here" +
                    (meant != nullptr ? ", where the file means " + Tag(meant->name) : ""));
    }
}

void CheckEncoding(std::string_view bytes, std::vector<Diagnostic>& out) {
    const auto raw = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    if (bytes.size() >= 2 &&
        ((raw(0) == 0xFF && raw(1) == 0xFE) || (raw(0) == 0xFE && raw(1) == 0xFF) ||
         (raw(0) == '<' && raw(1) == 0) || (raw(0) == 0 && raw(1) == '<'))) {
        out.push_back({1,
                       1,
                       Severity::Error,
                       "encoding",
                       "the file is saved as UTF-16: the menu reads only UTF-8; save the file as "
                       "UTF-8",
                       {}});
        return;
    }
    std::string text = ReadTextMode(bytes);
    const auto early = [&](std::size_t at, const char* what) {
        const auto [line, column] = BytePosition(text, at);
        out.push_back({line,
                       column,
                       Severity::Error,
                       "encoding",
                       std::string(what) + ": the menu reads nothing after it; delete it",
                       {}});
    };
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        early(nul, "a NUL byte");
        text.resize(nul);
    } else if (text.size() + 1 < bytes.size() && bytes.find('\x1a') != std::string::npos &&
               bytes.find('\x1a') + 1 < bytes.size()) {
        early(text.size(), "a Ctrl-Z byte (0x1A)");
    }
    std::size_t line = 1;
    std::size_t column = 1;
    std::size_t lineStart = 0;
    std::size_t reportedLine = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8Length(text, i);
        if (length == 0 && line != reportedLine) {
            reportedLine = line;
            static constexpr char kHex[] = "0123456789ABCDEF";
            const auto b = static_cast<std::uint8_t>(text[i]);
            out.push_back({line,
                           column,
                           Severity::Error,
                           "encoding",
                           std::string("byte 0x") + kHex[b >> 4] + kHex[b & 0xF] + " (byte " +
                               std::to_string(i - lineStart + 1) +
                               " of the line) is not UTF-8: the menu shows \xef\xbf\xbd for it; "
                               "save the file as UTF-8",
                           {}});
        }
        if (text[i] == '\n') {
            ++line;
            column = 1;
            lineStart = i + 1;
        } else {
            ++column;
        }
        i += length == 0 ? 1 : length;
    }
}

} // namespace checks
