#include "tools/Checker.h"

#include <algorithm>
#include <map>
#include <set>

#include "config/MenuSettings.h"
#include "config/TextDecoding.h"
#include "config/Vocabulary.h"
#include "config/xmlElement.h"
#include "config/xmlReader.h"
#include "controls/PictureCheck.h"
#include "tools/TreeJson.h"
#include "tools/XmlIntent.h"

namespace {

constexpr std::size_t npos = std::wstring_view::npos;
// The longest file name a disc's Joliet file system keeps.
constexpr std::size_t kJolietNameLength = 64;
constexpr const char* kChainWarning =
    "\"Nicht alle Commands/Abfragen konnten ausgef\xc3\xbchrt werden\"";

} // namespace

std::string Shown(std::wstring_view text) {
    std::string out;
    std::size_t run = 0; // start of the characters not yet written
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] >= 0x20) {
            continue;
        }
        out += EncodeUtf8(text.substr(run, i - run));
        run = i + 1;
        if (i == text.size()) {
            break;
        }
        static constexpr char kHex[] = "0123456789ABCDEF";
        const wchar_t c = text[i];
        out += c == L'\t'   ? std::string("\\t")
               : c == L'\n' ? std::string("\\n")
                            : std::string("\\x") + kHex[c >> 4] + kHex[c & 0xF];
    }
    return out;
}

namespace {

// A picture's file as the menu tells files apart to share them: letter case, "/" or "\\",
// "." and ".." aside.
std::wstring PictureKey(std::wstring_view path) {
    std::vector<std::wstring> parts;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find_first_of(L"\\/", start), path.size());
        const std::wstring part = LowerAsciiLetters(path.substr(start, end - start));
        if (part == L".." && !parts.empty()) {
            parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::wstring key;
    for (const std::wstring& part : parts) {
        key += L'\\' + part;
    }
    return key;
}

std::string Quoted(std::wstring_view text) {
    return "'" + Shown(text) + "'";
}

std::string Tag(std::wstring_view name) {
    return "<" + Shown(name) + ">";
}

// Names the menu gives to what is no element in standard XML.
bool IsTrapName(std::wstring_view name) {
    return name.empty() || name[0] == L'!' || name[0] == L'/' || name[0] == L'?' ||
           name.back() == L'/';
}

std::size_t EditDistance(std::wstring_view a, std::wstring_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The candidate the author most likely meant: the same word in other letter case,
// or one a typing slip away.
std::optional<std::wstring_view> Suggest(std::wstring_view written,
                                         const std::vector<std::wstring_view>& candidates) {
    const std::wstring lower = LowerAsciiLetters(written);
    std::optional<std::wstring_view> best;
    std::size_t bestDistance = written.size() < 5 ? 1 : 2;
    for (const std::wstring_view candidate : candidates) {
        const std::size_t d = EditDistance(lower, LowerAsciiLetters(candidate));
        if (d == 0) {
            return candidate;
        }
        if (d <= bestDistance && (!best || d < bestDistance)) {
            best = candidate;
            bestDistance = d;
        }
    }
    return best;
}

bool IsAbsolutePath(std::wstring_view path) {
    return (path.size() >= 2 && path[1] == L':') || (!path.empty() && path[0] == L'\\') ||
           (!path.empty() && path[0] == L'/');
}

} // namespace

LineIndex::LineIndex(std::wstring_view text) : text_(text) {
    starts_.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n') {
            starts_.push_back(i + 1);
        }
    }
}

std::pair<std::size_t, std::size_t> LineIndex::At(std::size_t offset) const {
    offset = std::min(offset, text_.size());
    const auto line = std::upper_bound(starts_.begin(), starts_.end(), offset) - 1;
    const TextPosition at = PositionOf(text_.substr(*line), offset - *line);
    return {static_cast<std::size_t>(line - starts_.begin()) + 1, at.column};
}

bool IsUrl(std::wstring_view path) {
    return path.find(L"://") != npos || LowerAsciiLetters(path.substr(0, 7)) == L"mailto:";
}

namespace {

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Decimal text exactly as TextToInt reads all of it: spaces, a sign, digits, spaces.
bool IsPlainNumber(std::wstring_view text) {
    const std::wstring_view t = TrimWhiteSpace(text);
    std::size_t i = !t.empty() && (t[0] == L'+' || t[0] == L'-') ? 1 : 0;
    if (i == t.size()) {
        return false;
    }
    for (; i < t.size(); ++i) {
        if (!IsDigit(t[i])) {
            return false;
        }
    }
    return true;
}

std::string ColourText(ColorRef c) {
    return std::to_string(c & 0xFF) + " " + std::to_string((c >> 8) & 0xFF) + " " +
           std::to_string((c >> 16) & 0xFF);
}

// What an unknown keyword makes the menu do.
std::string KeywordEffect(Context context, std::wstring_view attribute) {
    if (attribute == L"windowpos") {
        return "the window goes to 'left' and 'top'";
    }
    if (attribute == L"title") {
        return "the caption bar stays";
    }
    if (attribute == L"zorder") {
        return "the window stacks as a normal window";
    }
    if (attribute == L"tttype") {
        return "the menu stops with \"Tooltipp-Typ nicht gesetzt\"";
    }
    if (attribute == L"hkey") {
        return "the menu reads HKEY_CURRENT_CONFIG";
    }
    if (context == Context::ButtonLayout) {
        return "the control becomes a push button";
    }
    if (context == Context::Command || context == Context::Query) {
        return "the chain fails here with " + std::string(kChainWarning);
    }
    return "the test never holds";
}

constexpr std::pair<std::wstring_view, std::wstring_view> kShortHives[] = {
    {L"HKCR", L"HKEY_CLASSES_ROOT"},
    {L"HKCU", L"HKEY_CURRENT_USER"},
    {L"HKLM", L"HKEY_LOCAL_MACHINE"},
    {L"HKU", L"HKEY_USERS"},
    {L"HKCC", L"HKEY_CURRENT_CONFIG"}};

// The control element's role in the messages.
struct ControlPlace {
    int page = -1; // -1: the quit button
    std::size_t index = 0;
};

class Checker {
public:
    Checker(std::wstring_view text, const xmlTree& tree, const IntentTree& intent,
            FileLookup& files, std::vector<Diagnostic>& out)
        : text_(text), lines_(text), tree_(tree), intent_(intent), files_(files), out_(out) {}

    void Run() {
        // After the first "?" has cut the file, nothing stands where the author put it.
        if (CheckStructure()) {
            if (traps_.count(&tree_.Root()) == 0 && IsTrapName(tree_.Root().GetName())) {
                ElementTrap(tree_.Root(), nullptr);
            }
            Walk(tree_.Root(), Context::Root);
            CheckSettings();
        }
    }

private:
    void Add(std::size_t offset, Severity severity, const char* rule, std::string message,
             std::vector<std::pair<std::size_t, std::string>> notes = {}) {
        if (!added_.emplace(offset, rule).second) {
            return; // one diagnostic per place and rule
        }
        const auto [line, column] = lines_.At(offset);
        Diagnostic d{line, column, severity, rule, std::move(message), {}};
        for (auto& [at, note] : notes) {
            const auto [noteLine, noteColumn] = lines_.At(at);
            d.notes.push_back({noteLine, noteColumn, std::move(note)});
        }
        out_.push_back(std::move(d));
    }

    void Error(std::size_t offset, const char* rule, std::string message,
               std::vector<std::pair<std::size_t, std::string>> notes = {}) {
        Add(offset, Severity::Error, rule, std::move(message), std::move(notes));
    }

    void Warning(std::size_t offset, const char* rule, std::string message,
                 std::vector<std::pair<std::size_t, std::string>> notes = {}) {
        Add(offset, Severity::Warning, rule, std::move(message), std::move(notes));
    }

    // ---- Structure: where the menu's reading differs from standard XML's ----

    // False when the menu reads the file from another start than the author meant.
    bool CheckStructure() {
        const std::size_t question = text_.find(L'?');
        const std::size_t firstTag = text_.find(L'<');
        if (!intent_.declaration && question != npos && firstTag != npos && firstTag < question &&
            text_.find(L'<', question) != npos) {
            Error(question, "question-mark",
                  "without the declaration <?xml version=\"1.0\" encoding=\"UTF-8\"?> at the top, "
                  "the first '?' makes the menu skip everything before the next '<'; add the "
                  "declaration as the first line");
            return false;
        }
        for (const std::size_t at : intent_.ignoredText) {
            Warning(at, "ignored-text",
                    "the menu ignores text between tags (a '=', '>' or '/>' in it is even taken "
                    "for markup); delete it");
        }
        if (intent_.error) {
            StructureError(*intent_.error);
        } else {
            Diff(tree_.Root(), *intent_.root);
        }
        return true;
    }

    void StructureError(const IntentError& error) {
        if (error.what.ends_with("has no end tag")) {
            Error(error.offset, "end-tag",
                  error.what + ": everything after it belongs to it; add its end tag");
        } else if (error.what.find("end tag") != std::string::npos ||
                   error.what.find("does not end") != std::string::npos) {
            Error(error.offset, "end-tag",
                  error.what + ": the menu reads everything up to the next fitting end tag as "
                               "inside the open element");
        } else if (error.suspectValue) {
            Error(*error.suspectValue, "quote",
                  "a double quote is missing or one too many in or after this value: the menu "
                  "pairs every later quote differently");
        } else if (error.what.find("quote") != std::string::npos) {
            Error(error.offset, "quote",
                  error.what + ": write every value in double quotes, name=\"value\"");
        } else {
            Warning(error.offset, "xml-syntax",
                    "standard XML cannot read the file here (" + error.what +
                        "); check what the menu reads with navora-check --tree");
        }
    }

    // False when the names differ, so that the caller compares no later siblings.
    bool Diff(const xmlElement& menu, const IntentElement& meant) {
        if (menu.GetName() != meant.name) {
            ElementTrap(menu, &meant);
            return false;
        }
        DiffAttributes(menu, meant);
        const std::size_t common = std::min(menu.GetChildCount(), meant.children.size());
        for (std::size_t i = 0; i < common; ++i) {
            if (!Diff(*menu.GetChild(i), *meant.children[i])) {
                return true;
            }
        }
        if (menu.GetChildCount() > common) {
            ElementTrap(*menu.GetChild(common), nullptr);
        } else if (meant.children.size() > common) {
            const IntentElement& lost = *meant.children[common];
            Error(lost.offset, "structure",
                  "the menu does not read " + Tag(lost.name) + " here: " + Tag(menu.GetName()) +
                      " ends before it for the menu");
        }
        return true;
    }

    // An element the menu reads where the file means another, or none.
    void ElementTrap(const xmlElement& element, const IntentElement* meant) {
        traps_.insert(&element);
        const std::wstring_view name = element.GetName();
        const std::size_t at = element.GetOffset();
        const std::string swallows =
            &element == &tree_.Root()
                ? "it becomes the root, and the real root lies inside it"
                : "it takes in everything after it up to its parent's end tag";
        if (name.substr(0, 3) == L"!--") {
            Error(at, "comment",
                  "the menu has no comments: it reads an element named '!--' here, and " +
                      swallows + "; delete the comment");
        } else if (name.substr(0, 1) == L"!") {
            Error(at, "doctype",
                  "the menu reads " + Tag(name.substr(0, name.find(L' '))) +
                      " as an element, and " + swallows + "; delete it");
        } else if (name.substr(0, 1) == L"?") {
            Error(at, "question-mark",
                  "only the declaration at the very top is skipped: the menu reads this '<?' "
                  "as an element, and " +
                      swallows);
        } else if (name.substr(0, 1) == L"/") {
            Error(at, "end-tag",
                  "the menu reads this end tag as an element named " + Quoted(name) +
                      ", and it takes in everything after it; write it exactly " +
                      Tag(name.substr(0, name.find_last_not_of(L' ') + 1)) +
                      ", without spaces, with the name of the element it ends");
        } else if (!name.empty() && name.back() == L'/') {
            const std::wstring_view bare = name.substr(0, name.size() - 1);
            Error(at, "empty-element-space",
                  "the menu reads an element named " + Quoted(name) + ", not " + Quoted(bare) +
                      ", and it takes in everything after it; write <" + Shown(bare) + " />");
        } else if (meant != nullptr && name.size() > meant->name.size() &&
                   name.substr(0, meant->name.size()) == meant->name) {
            Error(at, "attribute-space",
                  "an element name ends only at a space or '>': the menu reads the name " +
                      Quoted(name) + "; put a space after " + Quoted(meant->name));
        } else {
            Error(at, "structure",
                  "the menu reads " + Tag(name) + " here" +
                      (meant != nullptr ? ", where the file means " + Tag(meant->name) : ""));
        }
    }

    void DiffAttributes(const xmlElement& menu, const IntentElement& meant) {
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
                Error(place.name != npos ? place.name : menu.GetOffset(), "structure",
                      "the menu reads an attribute " + Quoted(menu.GetAttributeName(i)) +
                          " that the file does not mean, from text before or inside this tag");
                return;
            }
            if (inMenu) {
                reported_.insert(menu.GetAttributePlace(i).name);
            }
            AttributeTrap(meant.attributes[i],
                          inMenu ? menu.GetAttributeName(i) : std::wstring_view(),
                          inMenu ? menu.GetAttributeValue(i) : std::wstring_view());
            return;
        }
    }

    void AttributeTrap(const IntentAttribute& a, std::wstring_view menuName,
                       std::wstring_view menuValue) {
        const std::string name = Quoted(a.name);
        if (a.quote == L'\'') {
            Error(a.valueOffset, "quote",
                  "the menu reads values only in double quotes: write " + Shown(a.name) + "=\"" +
                      Shown(a.value) + "\"");
        } else if (!a.spaceBefore) {
            Error(a.offset, "attribute-space",
                  "the menu needs a space before the attribute name " + name +
                      " (a tab, a line break or a quote alone does not separate it): it reads " +
                      Quoted(menuName) + " instead");
        } else if (a.backslashEnd) {
            Error(a.valueOffset, "backslash-end",
                  "the value of " + name +
                      " ends in a backslash, which escapes the closing quote for the menu: it "
                      "reads on to the next quote; drop the last backslash");
        } else if (menuName == a.name && menuValue == TrimWhiteSpace(a.value)) {
            Warning(a.valueOffset, "trimmed-value",
                    "the menu drops the white space at both ends of a value: it reads " +
                        Quoted(menuValue));
        } else if (a.entity) {
            Error(a.valueOffset, "entity",
                  "the menu decodes no entities: it reads " + Quoted(menuValue) +
                      "; write the characters themselves (an '&' in captions and tooltips as "
                      "'&&')");
        } else {
            Error(a.offset, "quote",
                  "the menu reads " +
                      (menuName.empty() ? std::string("no attribute")
                                        : Quoted(menuName) + " = " + Quoted(menuValue)) +
                      " here, where the file means " + name + " = " + Quoted(a.value) +
                      "; check the quotes of this tag");
        }
    }

    // ---- Vocabulary: what the menu reads where ----

    static std::wstring TypeOf(const xmlElement& element, Context context) {
        return element.GetAttribute(context == Context::ToolTippConfig ? L"tttype" : L"type");
    }

    void Walk(const xmlElement& element, Context context) {
        if (traps_.count(&element) != 0) {
            return;
        }
        const ElementRule& rule = RuleFor(context);
        CheckAttributes(element, context);
        std::map<std::wstring_view, const xmlElement*> seen;
        const std::wstring type = TypeOf(element, context);
        for (std::size_t i = 0; i < element.GetChildCount(); ++i) {
            const xmlElement& child = *element.GetChild(i);
            if (traps_.count(&child) == 0 && IsTrapName(child.GetName())) {
                ElementTrap(child, nullptr);
            }
            if (traps_.count(&child) != 0) {
                continue;
            }
            if (rule.anyChild) {
                Walk(child, *rule.anyChild);
                continue;
            }
            const auto childRule =
                std::find_if(rule.children.begin(), rule.children.end(),
                             [&](const ChildRule& r) { return r.name == child.GetName(); });
            if (childRule == rule.children.end()) {
                UnknownElement(child, element, rule);
                continue;
            }
            const auto [first, isNew] = seen.emplace(child.GetName(), &child);
            if (!isNew) {
                Warning(child.GetOffset(), "duplicate-element",
                        "only the first " + Tag(child.GetName()) + " in " + Tag(element.GetName()) +
                            " is read; this one is ignored",
                        {{first->second->GetOffset(), "the first one is here"}});
                continue;
            }
            if (!childRule->forType.empty() && type != childRule->forType) {
                // Under an unknown type nothing is read; the type has its own diagnostic.
                if (IsKeyword(context, type)) {
                    Error(child.GetOffset(), "unused-settings",
                          Tag(child.GetName()) + " is read only when " +
                              (context == Context::ToolTippConfig ? "tttype" : "type") + " is " +
                              Quoted(childRule->forType) + ", and here it is " + Quoted(type));
                }
                continue;
            }
            Walk(child, childRule->context);
        }
        CheckLinks(element, context);
        if ((context == Context::Command || context == Context::Query) &&
            FindAttributeIndex(element, L"type") == npos) {
            Error(element.GetOffset(), "keyword",
                  Tag(element.GetName()) + " has no type: " + KeywordEffect(context, L"type"));
        }
    }

    static std::size_t FindAttributeIndex(const xmlElement& element, std::wstring_view name) {
        for (std::size_t i = 0; i < element.GetAttributeCount(); ++i) {
            if (element.GetAttributeName(i) == name) {
                return i;
            }
        }
        return npos;
    }

    // Whether the type names a kind the menu knows; an unknown one has its own diagnostic.
    static bool IsKeyword(Context context, std::wstring_view type) {
        const AttributeRule* rule =
            FindAttributeRule(context, context == Context::ToolTippConfig ? L"tttype" : L"type");
        return rule != nullptr && std::find(rule->keywords.begin(), rule->keywords.end(), type) !=
                                      rule->keywords.end();
    }

    void CheckLinks(const xmlElement& element, Context context) {
        const xmlElement* command = FindChild(&element, L"Command");
        const xmlElement* query = FindChild(&element, L"Query");
        if (command == nullptr || query == nullptr) {
            return;
        }
        if (context == Context::Control) {
            Warning(query->GetOffset(), "unreached-chain",
                    "a control runs its <Command>: this <Query> never runs");
        } else if (context == Context::Command || context == Context::Branch) {
            Warning(command->GetOffset(), "unreached-chain",
                    "the <Query> beside it is the next step: this <Command> never runs");
        }
    }

    void UnknownElement(const xmlElement& child, const xmlElement& parent,
                        const ElementRule& rule) {
        std::vector<std::wstring_view> names;
        for (const ChildRule& r : rule.children) {
            names.push_back(r.name);
        }
        std::vector<std::pair<std::size_t, std::string>> notes;
        if (const auto meant = Suggest(child.GetName(), names)) {
            notes.emplace_back(child.GetOffset(), "did you mean " + Tag(*meant) + "?");
        }
        Error(child.GetOffset(), "unknown-element",
              "the menu does not read " + Tag(child.GetName()) + " inside " + Tag(parent.GetName()),
              std::move(notes));
    }

    static std::optional<Context> ControlContextOf(Context defaults) {
        switch (defaults) {
        case Context::DefaultLayout:
            return Context::ButtonLayout;
        case Context::DefaultMouseOverLayout:
            return Context::ButtonMouseOverLayout;
        case Context::DefaultFont:
            return Context::Font;
        case Context::DefaultMouseOverFont:
            return Context::MouseOverFont;
        default:
            return std::nullopt;
        }
    }

    void CheckAttributes(const xmlElement& element, Context context) {
        std::map<std::wstring_view, std::size_t> seen;
        for (std::size_t i = 0; i < element.GetAttributeCount(); ++i) {
            const xmlAttributePlace& place = element.GetAttributePlace(i);
            if (place.name == npos || reported_.count(place.name) != 0) {
                continue;
            }
            const std::wstring_view name = element.GetAttributeName(i);
            const auto [first, isNew] = seen.emplace(name, place.name);
            if (!isNew) {
                Warning(place.name, "duplicate-attribute",
                        "only the first " + Quoted(name) + " of an element is read",
                        {{first->second, "the first one is here"}});
                continue;
            }
            const AttributeRule* rule = FindAttributeRule(context, name);
            if (rule == nullptr) {
                UnknownAttribute(element, context, name, place.name);
                continue;
            }
            CheckValue(*rule, element, context, element.GetAttributeValue(i), place);
        }
    }

    void UnknownAttribute(const xmlElement& element, Context context, std::wstring_view name,
                          std::size_t at) {
        const std::optional<Context> own = ControlContextOf(context);
        if (own && FindAttributeRule(*own, name) != nullptr) {
            std::string supplied;
            for (const AttributeRule& r : RuleFor(context).attributes) {
                supplied += (supplied.empty() ? "" : ", ") + Shown(r.name);
            }
            Error(at, "not-a-default",
                  "controls take only " + supplied + " from " + Tag(element.GetName()) +
                      " in <ButtonConfig>: " + Quoted(name) + " here is never read");
            return;
        }
        std::vector<std::wstring_view> names;
        for (const AttributeRule& r : RuleFor(context).attributes) {
            names.push_back(r.name);
        }
        std::vector<std::pair<std::size_t, std::string>> notes;
        if (const auto meant = Suggest(name, names)) {
            notes.emplace_back(at, "did you mean " + Quoted(*meant) + "?");
        }
        Error(at, "unknown-attribute",
              "the menu does not read the attribute " + Quoted(name) + " on " +
                  Tag(element.GetName()),
              std::move(notes));
    }

    void CheckValue(const AttributeRule& rule, const xmlElement& element, Context context,
                    std::wstring_view value, const xmlAttributePlace& place) {
        const std::size_t at = place.openQuote != npos ? place.openQuote : place.name;
        const std::string name = Shown(rule.name);
        switch (rule.kind) {
        case ValueKind::Caption:
        case ValueKind::Tooltip:
            CheckAmpersand(value, at, name);
            break;
        case ValueKind::Number:
            if (!value.empty() && !IsPlainNumber(value)) {
                Error(at, "number",
                      name + "=\"" + Shown(value) + "\" is not a plain number: the menu reads " +
                          std::to_string(TextToInt(value)) + "; write digits only");
            }
            break;
        case ValueKind::Colour:
            CheckColour(value, at, name);
            break;
        case ValueKind::Accepted:
            if (value == L"false") {
                Warning(at, "trueifsuccess",
                        "trueifsuccess has no effect: a test that holds always takes <Positiv>");
            }
            break;
        case ValueKind::Flag:
            if (!value.empty() && value != L"true" && value != L"false") {
                Error(at, "flag",
                      name + "=\"" + Shown(value) +
                          "\" is off: only 'true', in lower case, switches it on; write true or "
                          "false");
            }
            break;
        case ValueKind::Keyword:
            CheckKeyword(rule, context, value, at);
            break;
        case ValueKind::Font:
            CheckFont(value, at);
            break;
        case ValueKind::Picture:
        case ValueKind::Icon:
            CheckPicture(value, at, rule.kind == ValueKind::Icon);
            break;
        case ValueKind::Program:
            CheckVariables(value, at);
            if (IsOn(element.GetAttribute(L"makeabsolute"))) {
                CheckProgram(value, at);
            } else if (const auto beside = InMenuFolder(value)) {
                CheckProgram(*beside, at);
            }
            break;
        case ValueKind::FilePattern:
            CheckVariables(value, at);
            if (IsOn(element.GetAttribute(L"makeabsolute"))) {
                if (!NamesTheFolderTwice(value, at)) {
                    CheckFileQuery(value, at, true);
                }
            } else if (const auto beside = InMenuFolder(value)) {
                CheckFileQuery(*beside, at, true);
            } else {
                CheckFileQuery(value, at, false);
            }
            break;
        case ValueKind::Text:
            if (context == Context::ExecCommandConfig || context == Context::RegistryQueryConfig) {
                CheckVariables(value, at);
            }
            break;
        case ValueKind::Written:
            break;
        }
    }

    // The rest of a path that starts "%MENUDIR%\" and names no further variable: where in the
    // menu's folder it points.
    static std::optional<std::wstring> InMenuFolder(std::wstring_view path) {
        constexpr std::wstring_view kFolder = L"%menudir%\\";
        if (path.size() <= kFolder.size() ||
            LowerAsciiLetters(path.substr(0, kFolder.size())) != kFolder ||
            path.find(L'%', kFolder.size()) != npos) {
            return std::nullopt;
        }
        return std::wstring(path.substr(kFolder.size()));
    }

    // makeabsolute in front of a path that names the menu's folder or drive itself.
    bool NamesTheFolderTwice(std::wstring_view path, std::size_t at) {
        const std::wstring lower = LowerAsciiLetters(path);
        if (lower.find(L"%menudir%") == npos && lower.find(L"%menudrive%") == npos) {
            return false;
        }
        Error(at, "makeabsolute",
              "makeabsolute puts the menu's folder in front of " + Quoted(path) +
                  ", which names it already: remove makeabsolute");
        return true;
    }

    // A %NAME% that starts like the menu's own variables but is neither stays as written on
    // every machine whose environment lacks it.
    void CheckVariables(std::wstring_view value, std::size_t at) {
        for (std::size_t open = value.find(L'%'); open != npos;) {
            const std::size_t close = value.find(L'%', open + 1);
            if (close == npos) {
                return;
            }
            const std::wstring name = LowerAsciiLetters(value.substr(open + 1, close - open - 1));
            if (name.rfind(L"menu", 0) == 0 && name != L"menudir" && name != L"menudrive") {
                Warning(at, "variable",
                        "%" + Shown(value.substr(open + 1, close - open - 1)) +
                            "% is not a variable the menu knows: it stays as written unless the "
                            "user's environment has it; the menu's own are %MENUDIR% and "
                            "%MENUDRIVE%");
                open = value.find(L'%', close + 1);
            } else {
                open = name == L"menudir" || name == L"menudrive" ? value.find(L'%', close + 1)
                                                                  : close;
            }
        }
    }

    void CheckAmpersand(std::wstring_view value, std::size_t at, const std::string& name) {
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] != L'&') {
                continue;
            }
            if (i + 1 < value.size() && value[i + 1] == L'&') {
                ++i;
                continue;
            }
            Error(at, "ampersand",
                  "a single '&' in " + name +
                      " is not shown: Windows underlines the character after it instead; write "
                      "'&&' for an '&'");
            return;
        }
    }

    void CheckColour(std::wstring_view value, std::size_t at, const std::string& name) {
        if (value.empty()) {
            return;
        }
        const std::wstring_view t = TrimWhiteSpace(value);
        std::vector<std::wstring_view> parts;
        std::size_t i = 0;
        while (i < t.size()) {
            const std::size_t end = std::min(t.find(L' ', i), t.size());
            parts.push_back(t.substr(i, end - i));
            i = t.find_first_not_of(L' ', end);
            i = i == npos ? t.size() : i;
        }
        bool plain = parts.size() == 3;
        for (const std::wstring_view part : parts) {
            plain = plain && IsPlainNumber(part) && part[0] != L'-' && part[0] != L'+' &&
                    TextToInt(part) <= 255;
        }
        if (!plain) {
            Error(at, "colour",
                  name + "=\"" + Shown(value) +
                      "\" is not three numbers from 0 to 255 separated by spaces: the menu reads "
                      "the colour " +
                      ColourText(ColorFromText(value)) + " (red green blue)");
        }
    }

    void CheckKeyword(const AttributeRule& rule, Context context, std::wstring_view value,
                      std::size_t at) {
        const bool required =
            rule.name == L"tttype" || context == Context::Command || context == Context::Query;
        if (std::find(rule.keywords.begin(), rule.keywords.end(), value) != rule.keywords.end() ||
            (value.empty() && !required)) {
            return;
        }
        const std::string name = Shown(rule.name);
        const std::string effect = KeywordEffect(context, rule.name);
        const std::string hint = KeywordHint(rule, value);
        Error(at, "keyword",
              value.empty() ? name + " is empty: " + effect + "; " + hint
                            : name + "=\"" + Shown(value) +
                                  "\" is not a keyword the menu knows: " + effect + "; " + hint);
    }

    // What the author likely meant by a value that is no keyword.
    static std::string KeywordHint(const AttributeRule& rule, std::wstring_view value) {
        for (const auto& [shortName, full] : kShortHives) {
            if (rule.name == L"hkey" && LowerAsciiLetters(value) == LowerAsciiLetters(shortName)) {
                return "write " + Shown(full);
            }
        }
        const std::vector<std::wstring_view> words(rule.keywords.begin(), rule.keywords.end());
        const std::wstring_view trimmed = TrimWhiteSpace(value);
        if (trimmed != value && std::find(words.begin(), words.end(), trimmed) != words.end()) {
            return "remove the spaces: " + Quoted(trimmed);
        }
        if (const auto meant = Suggest(value, words);
            meant && !value.empty() && !IsPlainNumber(value)) {
            return (LowerAsciiLetters(*meant) == LowerAsciiLetters(value)
                        ? "keywords are case-sensitive: write "
                        : "did you mean ") +
                   Quoted(*meant);
        }
        std::string list;
        for (const std::wstring_view w : words) {
            list += (list.empty() ? "" : ", ") + Shown(w);
        }
        return "write one of " + list;
    }

    void CheckFont(std::wstring_view value, std::size_t at) {
        const std::size_t space = value.find(L' ');
        if (space == npos) {
            return;
        }
        std::vector<std::wstring_view> unknown;
        std::size_t i = space;
        while (i < value.size()) {
            const std::size_t start = value.find_first_not_of(L' ', i);
            if (start == npos) {
                break;
            }
            const std::size_t end = std::min(value.find(L' ', start), value.size());
            const std::wstring_view word = value.substr(start, end - start);
            if (word != L"Bold" && word != L"Italic" && word != L"Underline") {
                unknown.push_back(word);
            }
            i = end;
        }
        if (unknown.empty()) {
            return;
        }
        const std::wstring_view face = value.substr(0, space);
        const auto style = Suggest(unknown[0], {L"Bold", L"Italic", L"Underline"});
        Error(at, "font",
              style ? Quoted(unknown[0]) + " is not a style word the menu knows: write " +
                          Quoted(*style)
                    : "the menu takes the face name up to the first space and asks Windows for " +
                          Quoted(face) + "; a face whose name has a space cannot be named");
    }

    // ---- Files beside the configuration ----

    void CheckNameLength(std::wstring_view path, std::size_t at) {
        std::size_t start = 0;
        while (start <= path.size()) {
            const std::size_t end = std::min(path.find_first_of(L"\\/", start), path.size());
            if (end - start > kJolietNameLength) {
                Warning(at, "long-file-name",
                        "the name " + Quoted(path.substr(start, end - start)) + " has " +
                            std::to_string(end - start) +
                            " characters: a disc's Joliet file system keeps only 64");
                return;
            }
            start = end + 1;
        }
    }

    void CheckPicture(std::wstring_view path, std::size_t at, bool icon) {
        if (path.empty()) {
            return;
        }
        CheckNameLength(path, at);
        const std::wstring file(path);
        const FileState state = files_.Find(file);
        if (state == FileState::Absent) {
            Error(at, "missing-file",
                  Quoted(path) + " does not exist beside the configuration: the menu shows no " +
                      (icon ? "icon" : "picture"));
            return;
        }
        std::uint64_t length = 0;
        const auto head =
            state == FileState::Present
                ? files_.Head(file, icon ? std::size_t{4} << 20 : kBitmapHeadBytes, length)
                : std::nullopt;
        if (!head) {
            return;
        }
        // At the file's own size: the screen's DPI, which "dpiscale" scales to, is not known here.
        const BitmapCheck bitmap = icon ? BitmapCheck{} : CheckBitmap(*head, length, kFileDpi);
        PictureFault fault = icon ? CheckIcon(*head) : bitmap.fault;
        // Each file counts once, as the menu shares it among all spellings of its name. Counted in
        // the file's order; the menu counts the background, the quit button, then the pages.
        if (fault == PictureFault::None && !icon && pictures_.insert(PictureKey(path)).second &&
            !pictureBudget_.Take(bitmap.width, bitmap.height)) {
            fault = PictureFault::Total;
        }
        const std::string size =
            std::to_string(bitmap.width) + " x " + std::to_string(bitmap.height) + " pixels";
        const std::string kind = icon ? "icon (.ico)" : "BMP";
        const std::string shows = icon ? ": the menu shows no icon" : ": the menu shows nothing";
        std::string why;
        switch (fault) {
        case PictureFault::None:
            return;
        case PictureFault::Format:
            why = (head->substr(0, 4) == "\x89PNG" ? " is a PNG file"
                                                   : " is not a " + kind + " file") +
                  ": the menu loads only " + kind + " files and shows nothing for it";
            break;
        case PictureFault::Damaged:
            why = " is damaged or incomplete (its headers do not match its length)" + shows +
                  " for it; copy or save it again";
            break;
        case PictureFault::Side:
            why = " is " + size + shows + " wider or taller than " +
                  std::to_string(kMaxPictureSide) + " pixels";
            break;
        case PictureFault::Pixels:
            why = " has " + size + shows + " with more than " + std::to_string(kMaxPicturePixels) +
                  " pixels (8192 x 8192)";
            break;
        case PictureFault::IconImage:
            why = " holds an image larger than " + std::to_string(kMaxIconSide) + " x " +
                  std::to_string(kMaxIconSide) + " pixels" + shows +
                  "; keep only images of up to 256 pixels";
            break;
        case PictureFault::Total:
            why = " (" + size + ") takes the menu's pictures beyond " +
                  std::to_string(kMaxMenuPictureBytes >> 20) + " MB together, at 4 bytes a pixel" +
                  shows + " for it; make the pictures smaller";
            break;
        }
        Error(at, "picture-format", Quoted(path) + why);
    }

    void CheckProgram(std::wstring_view path, std::size_t at) {
        if (path.empty()) {
            Error(at, "missing-file", "exec has no path: the step fails when clicked");
            return;
        }
        if (NamesTheFolderTwice(path, at)) {
            return;
        }
        if (IsUrl(path) || IsAbsolutePath(path)) {
            Error(at, "makeabsolute",
                  "makeabsolute puts the menu's folder in front of " + Quoted(path) + " (D:\\" +
                      Shown(path) +
                      "), so it fails; remove makeabsolute or make the path relative");
            return;
        }
        CheckNameLength(path, at);
        if (files_.Find(std::wstring(path)) == FileState::Absent) {
            Error(at, "missing-file",
                  Quoted(path) + " does not exist beside the menu: the step fails when clicked");
        }
    }

    // `inMenuFolder`: the path is looked up in the menu's folder (makeabsolute, %MENUDIR%), not
    // in its current folder.
    void CheckFileQuery(std::wstring_view path, std::size_t at, bool inMenuFolder) {
        if (path.empty() || IsAbsolutePath(path) || path.find(L'%') != npos) {
            return;
        }
        CheckNameLength(path, at);
        if (files_.Find(std::wstring(path)) == FileState::Absent) {
            Warning(at, "file-query",
                    "nothing matches " + Quoted(path) +
                        (inMenuFolder ? std::string(" beside the menu")
                                      : " beside the configuration; note that the menu looks "
                                        "relative to its current folder, which need not be its "
                                        "own"));
        }
    }

    // ---- The settings the menu builds its window from ----

    void CheckSettings() {
        const xmlElement& root = tree_.Root();
        if (traps_.count(&root) != 0) {
            return;
        }
        const xmlElement* tipConfig = FindChild(&root, L"ToolTippConfig");
        if (ReadTooltipSettings(tipConfig).kind == TooltipKind::Unknown &&
            (tipConfig == nullptr || tipConfig->GetAttribute(L"tttype").empty())) {
            Error(tipConfig != nullptr ? tipConfig->GetOffset() : root.GetOffset(), "keyword",
                  std::string(tipConfig == nullptr ? "there is no <ToolTippConfig>"
                                                   : "<ToolTippConfig> has no tttype") +
                      ": the menu stops with \"Tooltipp-Typ nicht gesetzt\"; write "
                      "tttype=\"statictt\", \"buttontt\" or \"cursortt\"");
        }
        const WindowSettings window = ReadWindowSettings(FindChild(&root, L"General"));
        BitmapSize(window.background, pictureWidth_, pictureHeight_);
        clientWidth_ = std::max(std::max(window.width, 0), pictureWidth_);
        clientHeight_ = std::max(std::max(window.height, 0), pictureHeight_);

        if (clientWidth_ == 0 && clientHeight_ == 0) {
            Error(root.GetOffset(), "window-size",
                  "the window has no inside: give <General> a width and a height, or a "
                  "background picture");
        }
        const xmlElement* buttonConfig = FindChild(&root, L"ButtonConfig");
        if (const xmlElement* quit = FindChild(&root, L"BtnBeenden")) {
            CheckControl(*quit, buttonConfig, {});
        }
        const xmlElement* pages = FindChild(&root, L"Pages");
        for (std::size_t p = 0; pages != nullptr && p < pages->GetChildCount(); ++p) {
            const xmlElement& page = *pages->GetChild(p);
            if (traps_.count(&page) != 0) {
                continue;
            }
            tabStops_.clear();
            for (std::size_t c = 0; c < page.GetChildCount(); ++c) {
                if (traps_.count(page.GetChild(c)) == 0) {
                    CheckControl(*page.GetChild(c), buttonConfig, {static_cast<int>(p + 1), c + 1});
                }
            }
        }
    }

    void BitmapSize(const std::wstring& path, std::int32_t& width, std::int32_t& height) {
        std::uint64_t length = 0;
        const auto head = path.empty() || files_.Find(path) != FileState::Present
                              ? std::nullopt
                              : files_.Head(path, kBitmapHeadBytes, length);
        const BitmapCheck check =
            head ? CheckBitmap(*head, length, kFileDpi) : BitmapCheck{PictureFault::Format};
        if (check.fault == PictureFault::None) {
            width = static_cast<std::int32_t>(check.width);
            height = static_cast<std::int32_t>(check.height);
        }
    }

    std::string ControlName(const xmlElement& element, const ControlPlace& place) {
        return place.page < 0
                   ? "the quit button " + Tag(element.GetName())
                   : "control " + std::to_string(place.index) + " on page " +
                         std::to_string(place.page) + " (" + Tag(element.GetName()) + ")";
    }

    void CheckControl(const xmlElement& element, const xmlElement* buttonConfig,
                      const ControlPlace& place) {
        const ControlSettings control = ReadControlSettings(element, buttonConfig);
        const std::size_t at = element.GetOffset();
        const std::string who = ControlName(element, place);
        if (control.caption.empty()) {
            Error(at, "no-caption",
                  who + " has no caption: the menu stops with \"" +
                      Shown(ReadMessages(FindChild(&tree_.Root(), L"Messages")).noCaption) +
                      "\"; give its <ButtonLayout> a caption");
        }
        if (control.checkBox) {
            if (control.id.empty()) {
                Warning(at, "checkbox-id",
                        "this check box has no id: its state is recorded only in a file with "
                        "exactly one currentval");
            } else if (const auto [first, isNew] = checkIds_.emplace(control.id, at); !isNew) {
                Error(at, "checkbox-id",
                      "another check box has the id " + Quoted(control.id) +
                          ": the menu records both states in the first one's currentval",
                      {{first->second, "the first check box with this id"}});
            }
        }
        if (place.page >= 0 && control.tabIndex >= 0) {
            if (const auto [first, isNew] = tabStops_.emplace(control.tabIndex, at); !isNew) {
                Error(at, "tab-index",
                      "tabindex " + std::to_string(control.tabIndex) +
                          " is used twice on this page: the Tab key never reaches this control",
                      {{first->second, "the first control with this tabindex"}});
            }
        }
        CheckInsideWindow(control, at, who);
        CheckExitCodes(control.chain.get(), false);
    }

    // An "exitcode" query that no exec with wait="true" can precede is always Negativ.
    void CheckExitCodes(const ActionSettings* action, bool waited) {
        if (action == nullptr) {
            return;
        }
        if (!action->isCommand && action->type == L"exitcode" && !waited &&
            action->source != nullptr) {
            Warning(action->source->GetOffset(), "exitcode",
                    "no exec with wait=\"true\" runs before this exitcode query in its chain: it "
                    "always takes <Negativ>");
        }
        const bool after = waited || (action->isCommand && action->type == L"exec" && action->wait);
        for (const ChainLink* link : {&action->next, &action->positive, &action->negative}) {
            CheckExitCodes(link->command.get(), after);
            CheckExitCodes(link->query.get(), after);
        }
    }

    void CheckInsideWindow(const ControlSettings& control, std::size_t at, const std::string& who) {
        if (control.width <= 0 || control.height <= 0 ||
            (clientWidth_ == 0 && clientHeight_ == 0)) {
            return;
        }
        const std::int64_t left = control.left;
        const std::int64_t top = control.top;
        const std::int64_t right = left + control.width;
        const std::int64_t bottom = top + control.height;
        const std::string client =
            std::to_string(clientWidth_) + " x " + std::to_string(clientHeight_);
        if (right <= 0 || bottom <= 0 || left >= clientWidth_ || top >= clientHeight_) {
            Error(at, "outside-window",
                  who + " lies wholly outside the window's inside (" + client +
                      " pixels): it is never seen");
        } else if (left < 0 || top < 0 || right > clientWidth_ || bottom > clientHeight_) {
            Warning(at, "outside-window",
                    who + " reaches beyond the window's inside (" + client +
                        " pixels): it is cut off");
        }
    }

    std::wstring_view text_;
    LineIndex lines_;
    const xmlTree& tree_;
    const IntentTree& intent_;
    FileLookup& files_;
    std::vector<Diagnostic>& out_;
    std::set<const xmlElement*> traps_;
    std::set<std::pair<std::size_t, std::string>> added_;
    std::set<std::size_t> reported_; // attributes whose place a structure trap already named
    std::map<std::wstring, std::size_t> checkIds_;
    std::map<std::int32_t, std::size_t> tabStops_;
    std::set<std::wstring> pictures_; // the picture files counted, by PictureKey
    PictureBudget pictureBudget_;
    std::int32_t pictureWidth_ = 0;
    std::int32_t pictureHeight_ = 0;
    std::int32_t clientWidth_ = 0;
    std::int32_t clientHeight_ = 0;
};

// Line and column (in characters) of a byte of text-mode bytes.
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

// What of the bytes the menu cannot read as written: a UTF-16 file, an early end of
// the text, and bytes that are not UTF-8 (the first of each line).
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

} // namespace

CheckResult CheckConfig(std::string_view bytes, FileLookup& files) {
    CheckResult result;
    CheckEncoding(bytes, result.diagnostics);
    const std::wstring text = DecodeConfigText(bytes);
    std::unique_ptr<xmlTree> tree;
    try {
        tree = ParseXmlText(text);
    } catch (const xmlError& e) {
        const TextPosition at = PositionOf(text, e.Offset());
        result.readable = false;
        result.unreadable = std::to_string(at.line) + ":" + std::to_string(at.column) +
                            ": the menu cannot read this file: " + e.what();
    }
    if (tree) {
        const IntentTree intent = ReadIntent(text);
        Checker(text, *tree, intent, files, result.diagnostics).Run();
    }
    std::stable_sort(result.diagnostics.begin(), result.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    return result;
}

namespace {

const char* SeverityName(const Diagnostic& d, bool werror) {
    return d.severity == Severity::Error || werror ? "error" : "warning";
}

std::string Place(const std::string& file, std::size_t line, std::size_t column) {
    return file + ":" + std::to_string(line) + ":" + std::to_string(column);
}

std::string JsonText(const std::string& utf8) {
    return JsonString(DecodeUtf8(utf8));
}

} // namespace

std::string FormatDiagnostic(const std::string& file, const Diagnostic& d, bool werror) {
    std::string text = Place(file, d.line, d.column) + ": " + SeverityName(d, werror) + ": " +
                       d.message + " [" + d.rule + "]\n";
    for (const DiagnosticNote& n : d.notes) {
        text += Place(file, n.line, n.column) + ": note: " + n.message + "\n";
    }
    return text;
}

std::string DiagnosticJson(const std::string& file, const Diagnostic& d, bool werror) {
    std::string notes;
    for (const DiagnosticNote& n : d.notes) {
        notes += (notes.empty() ? "" : ",") + std::string("{\"line\":") + std::to_string(n.line) +
                 ",\"column\":" + std::to_string(n.column) + ",\"message\":" + JsonText(n.message) +
                 "}";
    }
    return "{\"file\":" + JsonText(file) + ",\"line\":" + std::to_string(d.line) +
           ",\"column\":" + std::to_string(d.column) + ",\"severity\":\"" +
           SeverityName(d, werror) + "\",\"rule\":\"" + d.rule +
           "\",\"message\":" + JsonText(d.message) + ",\"notes\":[" + notes + "]}";
}

int CheckStatus(const CheckResult& result, bool werror) {
    if (!result.readable) {
        return 2;
    }
    for (const Diagnostic& d : result.diagnostics) {
        if (d.severity == Severity::Error || werror) {
            return 1;
        }
    }
    return 0;
}

bool WildcardMatch(std::wstring_view pattern, std::wstring_view name) {
    // Matches from the end of the last "*": linear in practice for real names.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = npos;
    std::size_t resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = n;
        } else if (star != npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}
