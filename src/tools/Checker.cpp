#include "tools/Checker.h"

#include <algorithm>
#include <map>
#include <set>

#include "config/CheckState.h"
#include "config/MenuSettings.h"
#include "config/Vocabulary.h"
#include "pictures/PictureCheck.h"
#include "tools/TreeJson.h"
#include "tools/XmlIntent.h"
#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"
#include "xml/xmlReader.h"

namespace {

constexpr std::size_t npos = std::wstring_view::npos;
// A disc's Joliet file system keeps file names up to this long.
constexpr std::size_t kJolietNameLength = 64;

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

// Names a picture's file as the menu tells files apart to share them: letter case, "/" or
// "\\", "." and ".." aside.
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

// Says whether the menu gives this name to what is no element in standard XML.
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

// Returns the candidate the author most likely meant: the same word in other letter case,
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

// Every Windows sets these variables; a name a slip away from one gets a did-you-mean.
const std::vector<std::wstring_view> kWindowsVariables = {L"ALLUSERSPROFILE",
                                                          L"APPDATA",
                                                          L"CommonProgramFiles",
                                                          L"CommonProgramFiles(x86)",
                                                          L"CommonProgramW6432",
                                                          L"COMPUTERNAME",
                                                          L"ComSpec",
                                                          L"HOMEDRIVE",
                                                          L"HOMEPATH",
                                                          L"LOCALAPPDATA",
                                                          L"NUMBER_OF_PROCESSORS",
                                                          L"OS",
                                                          L"Path",
                                                          L"PATHEXT",
                                                          L"PROCESSOR_ARCHITECTURE",
                                                          L"ProgramData",
                                                          L"ProgramFiles",
                                                          L"ProgramFiles(x86)",
                                                          L"ProgramW6432",
                                                          L"PUBLIC",
                                                          L"SystemDrive",
                                                          L"SystemRoot",
                                                          L"TEMP",
                                                          L"TMP",
                                                          L"USERDOMAIN",
                                                          L"USERNAME",
                                                          L"USERPROFILE",
                                                          L"windir"};

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// Says whether a name between two '%' reads as a variable: a letter or '_' first, then letters,
// digits and "_()"; "50% bis 70%" and "%20" are none.
bool IsVariableName(std::wstring_view name) {
    if (name.empty() || (!IsAsciiLetter(name[0]) && name[0] != L'_')) {
        return false;
    }
    return std::all_of(name.begin(), name.end(), [](wchar_t c) {
        return IsAsciiLetter(c) || (c >= L'0' && c <= L'9') || c == L'_' || c == L'(' || c == L')';
    });
}

// Visits each %NAME% of a text, left to right, as the menu pairs the '%' signs.
template <typename Visit> void ForEachVariable(std::wstring_view text, Visit visit) {
    for (std::size_t open = text.find(L'%'); open != npos;) {
        const std::size_t close = text.find(L'%', open + 1);
        if (close == npos) {
            return;
        }
        const bool variable = IsVariableName(text.substr(open + 1, close - open - 1));
        if (variable) {
            visit(text.substr(open + 1, close - open - 1), close);
        }
        open = variable ? text.find(L'%', close + 1) : close;
    }
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

// Says whether TextToInt finds digits: white space, an optional sign, then a digit.
bool StartsWithNumber(std::wstring_view text) {
    const std::wstring_view t = TrimWhiteSpace(text);
    const std::size_t sign = !t.empty() && (t[0] == L'+' || t[0] == L'-') ? 1 : 0;
    return sign < t.size() && IsDigit(t[sign]);
}

// Says whether TextToInt reads all of the text: spaces, a sign, digits, spaces.
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

// Says what an unknown keyword makes the menu do, in the file's own words where it shows them.
std::string KeywordEffect(Context context, std::wstring_view attribute, std::wstring_view value,
                          const MenuMessages& messages) {
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
        return "the menu stops with \"" + Shown(messages.noTooltipType) + "\"";
    }
    if (attribute == L"hkey") {
        return "the menu reads HKEY_CURRENT_CONFIG";
    }
    if (context == Context::ButtonLayout) {
        return "the control becomes a push button";
    }
    if (context == Context::Command || context == Context::Query) {
        return "the chain fails here with \"" +
               Shown(messages.ChainWarningFor(L"type=\"" + std::wstring(value) + L"\"")) + "\"";
    }
    return "the test never holds";
}

constexpr std::pair<std::wstring_view, std::wstring_view> kShortHives[] = {
    {L"HKCR", L"HKEY_CLASSES_ROOT"},
    {L"HKCU", L"HKEY_CURRENT_USER"},
    {L"HKLM", L"HKEY_LOCAL_MACHINE"},
    {L"HKU", L"HKEY_USERS"},
    {L"HKCC", L"HKEY_CURRENT_CONFIG"}};

// A control element's place names it in the messages.
struct ControlPlace {
    int page = -1; // -1: the quit button
    std::size_t index = 0;
};

class Checker {
public:
    Checker(std::string_view bytes, std::wstring_view text, const xmlTree& tree,
            const IntentTree& intent, FileLookup& files, std::vector<Diagnostic>& out)
        : bytes_(bytes), text_(text), lines_(text), tree_(tree), intent_(intent), files_(files),
          out_(out), messages_(ReadMessages(FindChild(&tree.Root(), L"Messages"))) {}

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

    // Reports an element the menu reads where the file means another, or none.
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
                if (context == Context::Pages && LooksLikeControl(child)) {
                    traps_.insert(&child);
                    Error(child.GetOffset(), "page",
                          Tag(child.GetName()) +
                              " stands directly in <Pages>, so this element is a page, and the "
                              "menu reads its children as controls without a caption and "
                              "stops; put the control inside a page: <Pages><Page>" +
                              Tag(child.GetName()) + "...</" + Shown(child.GetName()) +
                              "></Page></Pages>");
                    continue;
                }
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
                  Tag(element.GetName()) +
                      " has no type: " + KeywordEffect(context, L"type", L"", messages_));
        }
    }

    static bool LooksLikeControl(const xmlElement& element) {
        for (const wchar_t* name : {L"ButtonLayout", L"ButtonPosition", L"Command", L"Query"}) {
            if (FindChild(&element, name) != nullptr) {
                return true;
            }
        }
        return false;
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
        // The branches in the words an author may reach for first.
        static const std::pair<std::wstring_view, std::wstring_view> kBranches[] = {
            {L"yes", L"Positiv"},   {L"ja", L"Positiv"},  {L"true", L"Positiv"},
            {L"then", L"Positiv"},  {L"no", L"Negativ"},  {L"nein", L"Negativ"},
            {L"false", L"Negativ"}, {L"else", L"Negativ"}};
        std::optional<std::wstring_view> meant = Suggest(child.GetName(), names);
        for (const auto& [word, branch] : kBranches) {
            if (!meant && LowerAsciiLetters(child.GetName()) == word &&
                std::find(names.begin(), names.end(), branch) != names.end()) {
                meant = branch;
            }
        }
        std::vector<std::pair<std::size_t, std::string>> notes;
        if (meant) {
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
        } else if (auto elsewhere = Elsewhere(element, context, name)) {
            notes.emplace_back(at, std::move(*elsewhere));
        }
        Error(at, "unknown-attribute",
              "the menu does not read the attribute " + Quoted(name) + " on " +
                  Tag(element.GetName()),
              std::move(notes));
    }

    // Where the author likely meant an unknown attribute: a word the vocabulary says
    // otherwise, or the same name on an element beside or inside this one.
    static std::optional<std::string> Elsewhere(const xmlElement& element, Context context,
                                                std::wstring_view name) {
        static const std::pair<std::wstring_view, std::vector<std::wstring_view>> kWords[] = {
            {L"text", {L"message", L"caption"}},
            {L"question", {L"message"}},
            {L"frage", {L"message"}},
            {L"title", {L"caption"}},
            {L"titel", {L"caption"}},
            {L"right", {L"width"}},
            {L"bottom", {L"height"}},
            {L"label", {L"caption"}},
            {L"color", {L"textcolor", L"bgcolor"}},
            {L"colour", {L"textcolor", L"bgcolor"}},
            {L"fontcolor", {L"textcolor"}},
            {L"backgroundcolor", {L"bgcolor"}},
            {L"x", {L"left"}},
            {L"y", {L"top"}},
            {L"size", {L"fontsize"}},
            {L"face", {L"font"}},
            {L"tooltip", {L"tooltipp"}},
            {L"file", {L"path"}},
            {L"program", {L"path"}},
            {L"arguments", {L"parameter"}},
            {L"args", {L"parameter"}},
            {L"params", {L"parameter"}},
            {L"image", {L"background", L"icon"}},
            {L"picture", {L"background", L"icon"}},
        };
        // The elements an attribute could have strayed from: the control's, or a command's or
        // query's own settings element.
        std::vector<std::pair<Context, std::wstring_view>> near;
        const auto addChildren = [&](Context parent) {
            for (const ChildRule& r : RuleFor(parent).children) {
                if (r.context != Context::Command && r.context != Context::Query &&
                    r.context != Context::Branch) {
                    near.emplace_back(r.context, r.name);
                }
            }
        };
        switch (context) {
        case Context::Control:
        case Context::ButtonPosition:
        case Context::ButtonLayout:
        case Context::ButtonMouseOverLayout:
        case Context::Font:
        case Context::MouseOverFont:
            addChildren(Context::Control);
            break;
        case Context::Command:
        case Context::Query:
            addChildren(context);
            break;
        case Context::ToolTippConfig:
        case Context::TTFont:
        case Context::StaticTTConfig:
        case Context::ButtonTTConfig:
            near.emplace_back(Context::ToolTippConfig, L"ToolTippConfig");
            addChildren(Context::ToolTippConfig);
            break;
        default:
            break;
        }
        // A command's own settings element comes first, and a mouse-over element's like.
        const std::wstring type = element.GetAttribute(L"type");
        const bool mouseOver = element.GetName().find(L"MouseOver") != npos;
        std::stable_partition(near.begin(), near.end(), [&](const auto& n) {
            const auto& children = RuleFor(context).children;
            return (n.second.find(L"MouseOver") != npos) == mouseOver &&
                   (type.empty() ||
                    std::any_of(children.begin(), children.end(), [&](const ChildRule& r) {
                        return r.context == n.first && r.forType == type;
                    }));
        });
        std::vector<std::wstring_view> words = {name};
        for (const auto& [written, meant] : kWords) {
            if (LowerAsciiLetters(name) == written) {
                words.insert(words.begin(), meant.begin(), meant.end());
            }
        }
        for (const std::wstring_view word : words) {
            if (word != name && FindAttributeRule(context, word) != nullptr) {
                return "did you mean " + Quoted(word) + "?";
            }
            for (const auto& [other, otherName] : near) {
                if (other != context && FindAttributeRule(other, word) != nullptr) {
                    return (word == name ? Quoted(word) + " belongs on "
                                         : "did you mean " + Quoted(word) + " on ") +
                           Tag(otherName) + (word == name ? "" : "?");
                }
            }
        }
        return std::nullopt;
    }

    void CheckValue(const AttributeRule& rule, const xmlElement& element, Context context,
                    std::wstring_view value, const xmlAttributePlace& place) {
        const std::size_t at = place.openQuote != npos ? place.openQuote : place.name;
        const std::string name = Shown(rule.name);
        switch (rule.kind) {
        case ValueKind::Caption:
        case ValueKind::Tooltip:
            CheckAmpersand(value, at, name);
            CheckUnreplaced(value, at, name);
            if (rule.kind == ValueKind::Tooltip) {
                CheckTooltipEscapes(value, at);
            }
            break;
        case ValueKind::Number:
            CheckNumber(value, at, name);
            if (context == Context::WinVersionQueryConfig && rule.name == L"majorversion") {
                CheckMajorVersion(element, value, at);
            }
            break;
        case ValueKind::ExitCode:
            CheckExitCodeValue(value, at);
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
            if (LowerAsciiLetters(value.substr(0, 4)) == L"www.") {
                // The shell takes a web address without its scheme for a file name.
                Error(at, "url",
                      Quoted(value) +
                          " has no scheme: Windows looks for a file of that name and the step "
                          "fails; write " +
                          Quoted(L"https://" + std::wstring(value)));
            } else if (IsOn(element.GetAttribute(L"makeabsolute"))) {
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
            // Variables are replaced in parameters and registry keys; registry data is
            // compared as written, and the other texts are shown as written.
            if (context == Context::ExecCommandConfig) {
                CheckVariables(value, at);
            } else if (context == Context::RegistryQueryConfig && rule.name == L"key") {
                CheckVariables(value, at);
                CheckRegistryKey(value, at);
            } else if (context == Context::RegistryQueryConfig && rule.name == L"value") {
                CheckRegistryValue(RegistryTypeFromText(element.GetAttribute(L"type")), value, at);
            } else if (context == Context::Messages && rule.name == L"chainwarning") {
                CheckUnreplaced(value, at, name, L"WHAT");
            } else if (context != Context::Control && context != Context::RegistryQueryConfig) {
                CheckUnreplaced(value, at, name);
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

    // Variables in a path or parameter: the menu's own without the backslash after them, names
    // like the menu's own that are none, and names a slip away from a standard one.
    void CheckVariables(std::wstring_view value, std::size_t at) {
        ForEachVariable(value, [&](std::wstring_view written, std::size_t close) {
            const std::wstring name = LowerAsciiLetters(written);
            const std::string shown = "%" + Shown(written) + "%";
            if (name == L"menudir" || name == L"menudrive") {
                // More of a name follows: the folder and the name run together.
                const wchar_t next = close + 1 < value.size() ? value[close + 1] : L' ';
                if (IsAsciiLetter(next) || (next >= L'0' && next <= L'9') || next == L'_' ||
                    next == L'.') {
                    const std::wstring_view folder = name == L"menudir" ? L"E:\\menu" : L"E:";
                    Error(at, "variable",
                          shown + " has no backslash after it: the menu puts in " + Shown(folder) +
                              " without one, so this reads " +
                              Quoted(std::wstring(folder) + std::wstring(value.substr(close + 1))) +
                              "; write " + shown + "\\" + Shown(value.substr(close + 1)));
                }
                return;
            }
            if (name.rfind(L"menu", 0) == 0) {
                Warning(at, "variable",
                        shown + " is not a variable the menu knows: it stays as written unless the "
                                "user's environment has it; the menu's own are %MENUDIR% and "
                                "%MENUDRIVE%");
                return;
            }
            for (const std::wstring_view cmd :
                 {L"cd", L"date", L"time", L"random", L"errorlevel", L"cmdcmdline"}) {
                if (name == cmd) {
                    Warning(at, "variable",
                            shown +
                                " is a name only the command prompt replaces, no environment "
                                "variable: the menu leaves it as written; for the menu's folder "
                                "write %MENUDIR%");
                    return;
                }
            }
            const auto meant = Suggest(written, kWindowsVariables);
            if (meant && LowerAsciiLetters(*meant) != name) {
                Warning(at, "variable",
                        shown +
                            " is not a variable Windows sets: it stays as written unless the "
                            "user's environment has it; did you mean %" +
                            Shown(*meant) + "%?");
            }
        });
    }

    // Texts the menu shows as written: a %NAME% there is never replaced (`allowed` is a
    // name the text itself replaces).
    void CheckUnreplaced(std::wstring_view value, std::size_t at, const std::string& name,
                         std::wstring_view allowed = {}) {
        bool reported = false;
        ForEachVariable(value, [&](std::wstring_view written, std::size_t) {
            if (reported || written == allowed) {
                return;
            }
            reported = true;
            Warning(at, "variable",
                    "the menu replaces no variables in " + name + ": it shows '%" + Shown(written) +
                        "%' as written; variables work only in paths, parameters and registry "
                        "keys");
        });
    }

    // "\t", "\b", "\r" and "\v" become control characters in a tooltip; in a path they
    // are letters after a backslash.
    void CheckTooltipEscapes(std::wstring_view value, std::size_t at) {
        if (value.find(L":\\") == npos && value.find(L"%\\") == npos &&
            value.rfind(L"\\\\", 0) != 0) {
            return;
        }
        for (std::size_t i = 0; i + 2 < value.size(); ++i) {
            if (value[i] != L'\\' || std::wstring_view(L"tbrv").find(value[i + 1]) == npos ||
                !IsAsciiLetter(value[i + 2])) {
                continue;
            }
            const std::size_t end = std::min(value.find_first_of(L" \\", i + 1), value.size());
            std::wstring fixed(value.substr(i, end - i));
            fixed[1] = static_cast<wchar_t>(fixed[1] - L'a' + L'A');
            Warning(at, "tooltip",
                    "in a tooltip, '\\" + Shown(value.substr(i + 1, 1)) + "' of " +
                        Quoted(value.substr(i, end - i)) +
                        " becomes a control character (as '\\t', '\\b', '\\r' and '\\v' do), "
                        "so the path is shown broken; write the letter in upper case, " +
                        Quoted(fixed) + ", which the menu leaves as written");
            return;
        }
    }

    void CheckNumber(std::wstring_view value, std::size_t at, const std::string& name) {
        if (value.empty() || IsPlainNumber(value)) {
            return;
        }
        const std::string reads = std::to_string(TextToInt(value));
        // "6px" reads 6: what the author meant, though not how numbers are written.
        const std::wstring_view t = TrimWhiteSpace(value);
        const std::size_t unit = t.size() >= 2 ? t.size() - 2 : 0;
        if (unit > 0 && LowerAsciiLetters(t.substr(unit)) == L"px" &&
            IsPlainNumber(t.substr(0, unit))) {
            Warning(at, "number",
                    name + "=\"" + Shown(value) + "\" is not a plain number: the menu reads " +
                        reads + " (pixels), as meant; write " + reads);
            return;
        }
        Error(at, "number",
              name + "=\"" + Shown(value) + "\" is not a plain number: the menu reads " + reads +
                  "; write digits only");
    }

    // ---- Values that can never match ----

    void CheckExitCodeValue(std::wstring_view value, std::size_t at) {
        if (value.empty() || ExitCodeFromText(value)) {
            return; // an empty value is reported with its query
        }
        const std::string written = "value=\"" + Shown(value) + "\"";
        const std::wstring lower = LowerAsciiLetters(value);
        if (const auto hex = HexNumber(lower); hex && *hex <= 0xFFFFFFFFu) {
            Error(at, "exitcode",
                  written +
                      " is hexadecimal: the menu reads exit codes only in decimal and never "
                      "matches this; write value=\"" +
                      std::to_string(*hex) + "\"");
        } else if (IsPlainNumber(value)) {
            Error(at, "exitcode",
                  written +
                      " lies outside the 32-bit exit codes: the menu never matches it; write a "
                      "number from -2147483648 to 4294967295");
        } else {
            Error(at, "exitcode",
                  written +
                      " is not a decimal number: the menu never matches it; write the exit code "
                      "in digits, e.g. value=\"0\"");
        }
    }

    // Reads "0x" and hexadecimal digits as a number; none for other text or beyond 64 bits.
    static std::optional<std::uint64_t> HexNumber(std::wstring_view lower) {
        if (lower.size() <= 2 || lower.size() > 18 || lower.substr(0, 2) != L"0x") {
            return std::nullopt;
        }
        std::uint64_t n = 0;
        for (const wchar_t c : lower.substr(2)) {
            const bool digit = c >= L'0' && c <= L'9';
            if (!digit && (c < L'a' || c > L'f')) {
                return std::nullopt;
            }
            n = n * 16 + static_cast<std::uint64_t>(digit ? c - L'0' : c - L'a' + 10);
        }
        return n;
    }

    void CheckRegistryValue(RegistryType type, std::wstring_view value, std::size_t at) {
        const std::string written = "value=\"" + Shown(value) + "\"";
        if (type == RegistryType::Dword) {
            const std::wstring lower = LowerAsciiLetters(value);
            if (const auto hex = HexNumber(lower); hex && *hex <= 0xFFFFFFFFu) {
                Error(at, "registry-value",
                      written +
                          " is hexadecimal: the menu reads REG_DWORD values in decimal and "
                          "compares with 0 here; write value=\"" +
                          std::to_string(static_cast<std::int32_t>(*hex)) + "\"");
            } else if (IsPlainNumber(value)) {
                const std::wstring_view t = TrimWhiteSpace(value);
                const auto code = ExitCodeFromText(t);
                if (!code || TextToInt(t) != static_cast<std::int32_t>(*code)) {
                    Error(at, "registry-value",
                          written + " lies outside what the menu reads for REG_DWORD: it " +
                              "compares with " + std::to_string(TextToInt(t)) +
                              (code ? "; write value=\"" +
                                          std::to_string(static_cast<std::int32_t>(*code)) + "\""
                                    : std::string("; write a number from -2147483648 to "
                                                  "2147483647")));
                }
            } else if (StartsWithNumber(value)) {
                Error(at, "registry-value",
                      written + " is not a plain number: the menu compares REG_DWORD data with " +
                          std::to_string(TextToInt(value)) + "; write digits only");
            } else {
                Error(at, "registry-value",
                      written + " is not a decimal number: the menu never matches a REG_DWORD with "
                                "it; write the number in digits, e.g. value=\"1\"");
            }
        } else if (type == RegistryType::Binary) {
            std::wstring fixed;
            bool clean = value.size() % 2 == 0;
            for (std::size_t i = 0; i < value.size(); ++i) {
                const wchar_t c = value[i];
                const wchar_t low = LowerAsciiLetters(std::wstring_view(&c, 1))[0];
                if ((low >= L'0' && low <= L'9') || (low >= L'a' && low <= L'f')) {
                    clean = clean && c == low;
                    fixed += low;
                } else if (std::wstring_view(L" ,-:").find(c) != npos) {
                    clean = false;
                } else {
                    return Error(at, "registry-value",
                                 written +
                                     " is not hexadecimal: the menu never matches REG_BINARY data "
                                     "with it; write two lower-case hexadecimal digits per byte, "
                                     "e.g. value=\"0aff\"");
                }
            }
            if (!clean) {
                Error(at, "registry-value",
                      written +
                          " is not how the menu writes REG_BINARY data, two lower-case "
                          "hexadecimal digits per byte without separators: the test never "
                          "holds; " +
                          (fixed.size() % 2 == 0 ? "write value=\"" + Shown(fixed) + "\""
                                                 : std::string("write two digits per byte")));
            }
        }
    }

    // A key that starts with a hive's name, which the menu opens under the hive of "hkey".
    void CheckRegistryKey(std::wstring_view key, std::size_t at) {
        const std::wstring lower = LowerAsciiLetters(key.substr(0, key.find(L'\\')));
        bool hive = lower.rfind(L"hkey_", 0) == 0;
        for (const auto& [shortName, full] : kShortHives) {
            hive = hive || lower == LowerAsciiLetters(shortName);
        }
        if (!hive) {
            return;
        }
        const std::size_t slash = key.find(L'\\');
        Error(at, "registry-key",
              "key starts with the hive " + Quoted(key.substr(0, slash)) +
                  ": the menu opens it under the hive of hkey, where it does not exist; give the "
                  "hive in hkey only and write key=\"" +
                  Shown(slash == npos ? std::wstring_view() : key.substr(slash + 1)) + "\"");
    }

    void CheckMajorVersion(const xmlElement& element, std::wstring_view value, std::size_t at) {
        if (TextToInt(value) < 11) {
            return;
        }
        const std::int32_t checkType = TextToInt(element.GetAttribute(L"checktype"));
        Error(at, "winversion",
              "majorversion=\"" + Shown(value) +
                  "\": no Windows reports a major version of 11 or more (Windows 11 reports "
                  "10.0), so this test " +
                  (checkType == -1 || checkType == -2 ? "always" : "never") +
                  " holds; write majorversion=\"10\" (Windows 10 and 11 cannot be told apart)");
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
        const std::string effect = KeywordEffect(context, rule.name, value, messages_);
        const std::string hint = KeywordHint(rule, value);
        // A control type far from "checkbox" gives the push button it likely means.
        const bool pushButton = context == Context::ButtonLayout &&
                                !Suggest(value, {L"checkbox"}) &&
                                LowerAsciiLetters(value).find(L"check") == npos;
        Add(at, pushButton ? Severity::Warning : Severity::Error, "keyword",
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
        static const std::pair<std::wstring_view, std::wstring_view> kCommands[] = {
            {L"next", L"weiter"},
            {L"back", L"zur\u00fcck"},
            {L"previous", L"zur\u00fcck"},
            {L"quit", L"beenden"},
            {L"exit", L"beenden"},
            {L"close", L"beenden"},
            {L"run", L"exec"},
            {L"start", L"exec"},
            {L"open", L"exec"},
            {L"message", L"showmessage"},
            {L"minimise", L"minimize"}};
        for (const auto& [word, command] : kCommands) {
            if (LowerAsciiLetters(value) == word &&
                std::find(rule.keywords.begin(), rule.keywords.end(), command) !=
                    rule.keywords.end()) {
                return "did you mean " + Quoted(command) + "?";
            }
        }
        if (rule.name == L"title") {
            return "the window's title is caption=\"...\"; title=\"false\" removes the caption "
                   "bar";
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
        const auto head = state == FileState::Present
                              ? (icon ? files_.Head(file, std::size_t{4} << 20, length)
                                      : PictureHead(file, length))
                              : std::nullopt;
        if (!head) {
            return;
        }
        // At the file's own size: the screen's DPI, which "dpiscale" scales to, is not known here.
        const PictureCheck bitmap =
            icon ? PictureCheck{} : CheckPictureFile(*head, length, kFileDpi);
        PictureFault fault = icon ? CheckIcon(*head) : bitmap.fault;
        // Each file counts once, as the menu shares it among all spellings of its name. Counted in
        // the file's order; the menu counts the background, the quit button, then the pages.
        if (fault == PictureFault::None && !icon && pictures_.insert(PictureKey(path)).second &&
            !pictureBudget_.Take(bitmap)) {
            fault = PictureFault::Total;
        }
        const std::string size =
            std::to_string(bitmap.width) + " x " + std::to_string(bitmap.height) + " pixels";
        const std::string kind = icon ? "icon (.ico)" : "BMP, PNG, JPEG or GIF";
        const std::string shows = icon ? ": the menu shows no icon" : ": the menu shows nothing";
        std::string why;
        switch (fault) {
        case PictureFault::None:
            return;
        case PictureFault::Format:
            why = " is not a " + kind + " file: the menu loads only " + kind +
                  " files and shows nothing for it";
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
        case PictureFault::Length:
            why = " is longer than " + std::to_string(kMaxCodedFileBytes >> 20) + " MB" + shows +
                  " for it; save it smaller";
            break;
        case PictureFault::Scans:
            why = " has more than " + std::to_string(kMaxJpegScans) + " scans" + shows +
                  " for it; save it as an ordinary or progressive JPEG";
            break;
        case PictureFault::Total:
            why = " (" + size + ") takes the menu's pictures beyond " +
                  std::to_string(kMaxMenuPictureBytes >> 20) +
                  " MB together, counted at 4 bytes a pixel and as much as decoding it holds" +
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
                      ": the menu stops with \"" + Shown(messages_.noTooltipType) +
                      "\"; write tttype=\"statictt\", \"buttontt\" or \"cursortt\"");
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
        const xmlElement* quit = FindChild(&root, L"BtnBeenden");
        if (quit != nullptr) {
            CheckControl(*quit, buttonConfig, {});
        }
        const xmlElement* pages = FindChild(&root, L"Pages");
        std::vector<int> quitUnreached; // pages where Tab never reaches the quit button
        for (std::size_t p = 0; pages != nullptr && p < pages->GetChildCount(); ++p) {
            const xmlElement& page = *pages->GetChild(p);
            if (traps_.count(&page) != 0) {
                continue;
            }
            tabStops_.clear();
            placed_.clear();
            for (std::size_t c = 0; c < page.GetChildCount(); ++c) {
                const xmlElement& control = *page.GetChild(c);
                if (traps_.count(&control) != 0) {
                    continue;
                }
                if (control.GetName() == L"BtnBeenden") {
                    Warning(control.GetOffset(), "quit-button",
                            "<BtnBeenden> inside a page is an ordinary control of that page: the "
                            "quit button, shown on every page, is the <BtnBeenden> directly in " +
                                Tag(root.GetName()) + "; move it there");
                }
                CheckControl(control, buttonConfig, {static_cast<int>(p + 1), c + 1});
            }
            if (quitTabIndex_ && !tabStops_.empty() && *quitTabIndex_ >= tabStops_.begin()->first) {
                quitUnreached.push_back(static_cast<int>(p + 1));
            }
        }
        if (!quitUnreached.empty()) {
            std::string list;
            for (const int p : quitUnreached) {
                list += (list.empty() ? "" : ", ") + std::to_string(p);
            }
            Warning(quit->GetOffset(), "tab-index",
                    "the quit button's tabindex " + std::to_string(*quitTabIndex_) +
                        " is not lower than every other on page " + list +
                        ": the Tab key reaches it only as the first stop, so never there; give "
                        "it a tabindex lower than all others, e.g. 0");
        }
        CheckTooltipBox(tipConfig, clientWidth_, clientHeight_);
    }

    // A tooltip that can never be seen, or one placed outside the window; only where some
    // control has a tooltip text, as without one the tooltip's size does not matter.
    void CheckTooltipBox(const xmlElement* tipConfig, std::int64_t width, std::int64_t height) {
        const TooltipSettings tip = ReadTooltipSettings(tipConfig);
        if (!anyTooltip_ || tip.kind == TooltipKind::Unknown) {
            return;
        }
        const std::size_t at = tipConfig->GetOffset();
        if (tip.width <= 0 || (tip.height <= 0 && tip.kind != TooltipKind::Button)) {
            Error(at, "tooltip",
                  "the tooltip is " + std::to_string(tip.width) + " x " +
                      std::to_string(tip.height) +
                      " pixels, so no tooltip text is ever seen; give <ToolTippConfig> a width "
                      "and a height, e.g. width=\"200\" height=\"40\"");
            return;
        }
        if (tip.kind == TooltipKind::Button && tip.speed <= 0) {
            const xmlElement* strip = FindChild(tipConfig, L"ButtonTTConfig");
            Error(strip != nullptr ? strip->GetOffset() : at, "tooltip",
                  "Speed is " + std::to_string(tip.speed) +
                      ": the button tooltip's strip never grows, so no tooltip text is ever "
                      "seen; write Speed=\"10\" (pixels per step) in <ButtonTTConfig>");
        }
        if (tip.kind != TooltipKind::Static || (width == 0 && height == 0)) {
            return;
        }
        const std::int64_t left = tip.leftMargin;
        const std::int64_t top = tip.topMargin;
        const std::int64_t right = left + tip.width;
        const std::int64_t bottom = top + tip.height;
        const xmlElement* place = FindChild(tipConfig, L"StaticTTConfig");
        const std::string box = "the static tooltip (" + std::to_string(left) + ", " +
                                std::to_string(top) + ", " + std::to_string(tip.width) + " x " +
                                std::to_string(tip.height) + ")";
        const std::string window = " the window's inside (" + std::to_string(width) + " x " +
                                   std::to_string(height) + " pixels)";
        if (right <= 0 || bottom <= 0 || left >= width || top >= height) {
            Error(place != nullptr ? place->GetOffset() : at, "tooltip",
                  box + " lies wholly outside" + window +
                      ": it is never seen; set LeftMargin and TopMargin inside it");
        } else if (left < 0 || top < 0 || right > width || bottom > height) {
            Warning(place != nullptr ? place->GetOffset() : at, "tooltip",
                    box + " reaches beyond" + window +
                        ": it is cut off; move it in with LeftMargin and TopMargin");
        }
    }

    // As many of a picture file's first bytes as its check needs, as the menu reads them.
    std::optional<std::string> PictureHead(const std::wstring& path, std::uint64_t& length) {
        auto head = files_.Head(path, kBitmapHeadBytes, length);
        if (head && PictureBytesNeeded(*head, length) > head->size()) {
            head = files_.Head(path, static_cast<std::size_t>(kMaxCodedFileBytes), length);
        }
        return head;
    }

    void BitmapSize(const std::wstring& path, std::int32_t& width, std::int32_t& height) {
        std::uint64_t length = 0;
        const auto head = path.empty() || files_.Find(path) != FileState::Present
                              ? std::nullopt
                              : PictureHead(path, length);
        const PictureCheck check =
            head ? CheckPictureFile(*head, length, kFileDpi) : PictureCheck{PictureFault::Format};
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
                  who + " has no caption: the menu stops with \"" + Shown(messages_.noCaption) +
                      "\"; give its <ButtonLayout> a caption");
        }
        if (control.kind == ControlKind::CheckBox) {
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
        if (place.page < 0 && control.tabIndex != -1) {
            quitTabIndex_ = control.tabIndex;
        }
        anyTooltip_ = anyTooltip_ || !control.tooltip.empty();
        CheckInsideWindow(control, at, who);
        CheckOverlap(control, at, who, place.page < 0);
        CheckLooks(element, buttonConfig, control, at, who);
        if (control.kind == ControlKind::CheckBox) {
            CheckRecorded(element, control, at);
            for (const wchar_t* chain : {L"Command", L"Query"}) {
                if (const xmlElement* c = FindChild(&element, chain)) {
                    Warning(c->GetOffset(), "unreached-chain",
                            "a check box only toggles: this " + Tag(chain) +
                                " never runs; without type=\"checkbox\" the control is a push "
                                "button that runs it");
                }
            }
        }
        CheckExitCodes(control.chain.get(), false);
    }

    // Whether the menu finds where to record a check box's state; for a box without an id,
    // "checkbox-id" already says what it needs.
    void CheckRecorded(const xmlElement& element, const ControlSettings& control, std::size_t at) {
        if (control.id.empty() || tree_.RootEndTag() == npos ||
            PlanCheckStates(bytes_, {{control.id, true}})) {
            return;
        }
        const std::size_t id = FindAttributeIndex(element, L"id");
        const std::size_t current = FindAttributeIndex(element, L"currentval");
        if (id != npos && current != npos && current < id) {
            Error(element.GetAttributePlace(current).name, "currentval",
                  "currentval stands before the id: the menu looks for it only after the id, so "
                  "this check box's state is never recorded; write it after id=\"" +
                      Shown(control.id) + "\"");
        } else {
            Error(at, "currentval",
                  "this check box has no currentval=\"...\" after its id: its state is never "
                  "recorded; add currentval=\"false\" to its <ButtonLayout>");
        }
    }

    // Two controls on one page (the quit button is on every page) where one covers the other.
    void CheckOverlap(const ControlSettings& control, std::size_t at, const std::string& who,
                      bool quitButton) {
        if (control.width <= 0 || control.height <= 0) {
            return;
        }
        const Placed here{control.left,
                          control.top,
                          std::int64_t{control.left} + control.width,
                          std::int64_t{control.top} + control.height,
                          at,
                          who};
        if (quitButton) {
            quitPlaced_ = here;
            return;
        }
        std::vector<const Placed*> others;
        if (quitPlaced_) {
            others.push_back(&*quitPlaced_);
        }
        for (const Placed& p : placed_) {
            others.push_back(&p);
        }
        for (const Placed* other : others) {
            if (here.left < other->right && other->left < here.right && here.top < other->bottom &&
                other->top < here.bottom) {
                Warning(at, "overlap",
                        who + " overlaps " + other->who +
                            ": one covers part of the other; move or shrink one of them",
                        {{other->at, "the other control"}});
                break;
            }
        }
        placed_.push_back(here);
    }

    // Looks the file asks for that the menu does not draw.
    void CheckLooks(const xmlElement& element, const xmlElement* buttonConfig,
                    const ControlSettings& control, std::size_t at, const std::string& who) {
        if (control.kind != ControlKind::CheckBox && control.threeD && control.transparent) {
            Warning(at, "looks",
                    who + " has dreid and transparent: a transparent push button gets no 3-D "
                          "frame; write dreid=\"false\" or transparent=\"false\"");
        }
        // A black mouse-over colour warns only where a mouse-over text colour is written and
        // differs from the normal one: then the author evidently meant a black background.
        // The mouse-over colour as written, where the control takes it from.
        const auto writtenIn = [&](const wchar_t* name, const wchar_t* attribute) {
            const xmlElement* own = FindChild(&element, name);
            return own != nullptr && !own->GetAttribute(attribute).empty()
                       ? own
                       : FindChild(buttonConfig, name);
        };
        const xmlElement* hover = writtenIn(L"ButtonMouseOverLayout", L"bgcolor");
        const xmlElement* hoverFont = writtenIn(L"MouseOverFont", L"textcolor");
        if (hover != nullptr && !hover->GetAttribute(L"bgcolor").empty() &&
            control.hoverBgColor == 0 && !control.hoverTransparent && hoverFont != nullptr &&
            !hoverFont->GetAttribute(L"textcolor").empty() &&
            control.hoverTextColor != control.textColor) {
            const std::size_t index = FindAttributeIndex(*hover, L"bgcolor");
            const xmlAttributePlace place = hover->GetAttributePlace(index);
            Warning(place.openQuote != npos ? place.openQuote : hover->GetOffset(), "looks",
                    "a mouse-over bgcolor of 0 0 0 means no mouse-over colour: under the mouse "
                    "the control keeps its normal background (" +
                        ColourText(control.bgColor) + ") and only its text turns " +
                        ColourText(control.hoverTextColor) +
                        "; for a black background write 1 1 1");
        }
        for (const wchar_t* name : {L"Font", L"MouseOverFont"}) {
            const xmlElement* own = FindChild(&element, name);
            const xmlElement* fallback = FindChild(buttonConfig, name);
            if (own == nullptr || fallback == nullptr || !own->GetAttribute(L"font").empty() ||
                !own->GetAttribute(L"fontsize").empty() ||
                (fallback->GetAttribute(L"font").empty() &&
                 fallback->GetAttribute(L"fontsize").empty())) {
                continue;
            }
            Warning(own->GetOffset(), "font",
                    "this " + Tag(name) +
                        " has no font or fontsize: the control takes its whole font from it, the "
                        "system font, not the one of <ButtonConfig>; write font=\"" +
                        Shown(fallback->GetAttribute(L"font")) + "\" fontsize=\"" +
                        Shown(fallback->GetAttribute(L"fontsize")) + "\" here too");
        }
    }

    // An "exitcode" query that no exec with wait="true" can precede is always Negativ.
    void CheckExitCodes(const ActionSettings* action, bool waited) {
        if (action == nullptr) {
            return;
        }
        if (action->type == ActionType::ExitCode && action->source != nullptr) {
            const xmlElement* config = FindChild(action->source, L"ExitCodeQueryConfig");
            if (!waited) {
                Warning(action->source->GetOffset(), "exitcode",
                        "no exec with wait=\"true\" runs before this exitcode query in its "
                        "chain: it always takes <Negativ>");
            } else if (config == nullptr || config->GetAttribute(L"value").empty()) {
                Error(config != nullptr ? config->GetOffset() : action->source->GetOffset(),
                      "exitcode",
                      "this exitcode query has no value: the menu never matches it; write the "
                      "code to compare, e.g. <ExitCodeQueryConfig value=\"0\"/>");
            }
        }
        const bool after = waited || (action->type == ActionType::Exec && action->wait);
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

    std::string_view bytes_;
    std::wstring_view text_;
    LineIndex lines_;
    const xmlTree& tree_;
    const IntentTree& intent_;
    FileLookup& files_;
    std::vector<Diagnostic>& out_;
    const MenuMessages messages_;
    std::set<const xmlElement*> traps_;
    std::set<std::pair<std::size_t, std::string>> added_;
    std::set<std::size_t> reported_; // attributes whose place a structure trap already named
    std::map<std::wstring, std::size_t> checkIds_;
    std::map<std::int32_t, std::size_t> tabStops_;
    // Overlaps compare the controls' rectangles in the window.
    struct Placed {
        std::int64_t left, top, right, bottom;
        std::size_t at;
        std::string who;
    };
    std::vector<Placed> placed_; // the current page's
    std::optional<Placed> quitPlaced_;
    std::optional<std::int32_t> quitTabIndex_;
    bool anyTooltip_ = false;
    std::set<std::wstring> pictures_; // the picture files counted, by PictureKey
    PictureBudget pictureBudget_;
    std::int32_t pictureWidth_ = 0;
    std::int32_t pictureHeight_ = 0;
    std::int32_t clientWidth_ = 0;
    std::int32_t clientHeight_ = 0;
};

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

// Reports the bytes the menu cannot read as written: a UTF-16 file, an early end of
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
        result.readable = false;
        result.unreadable = UnreadableMessage(text, e);
    }
    if (tree) {
        const IntentTree intent = ReadIntent(text);
        Checker(bytes, text, *tree, intent, files, result.diagnostics).Run();
    }
    std::stable_sort(result.diagnostics.begin(), result.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    return result;
}

std::string UnreadableMessage(std::wstring_view text, const xmlError& error) {
    const TextPosition at = PositionOf(text, error.Offset());
    std::string message = std::to_string(at.line) + ":" + std::to_string(at.column) +
                          ": the menu cannot read this file: " + error.what();
    // A value that ends in a backslash, the last of its tag: its quote does not close it.
    const std::size_t open = error.Offset();
    if (std::string_view(error.what()).find("no closing double quote") == std::string::npos ||
        open >= text.size() || text[open] != L'"') {
        return message;
    }
    const std::wstring_view tag = text.substr(open, text.find(L'>', open) - open);
    for (std::size_t q = tag.find(L"\\\""); q != npos; q = tag.find(L"\\\"", q + 1)) {
        if (tag.find_first_not_of(L" \t\r\n/", q + 2) == npos) {
            return message + "; the value " + Shown(tag.substr(0, q + 2)) +
                   " ends in a backslash, which escapes its closing quote for the menu: drop "
                   "the last backslash, " +
                   Shown(tag.substr(0, q)) + "\"";
        }
    }
    return message;
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
