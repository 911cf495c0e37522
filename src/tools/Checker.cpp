// The driver of navora-check: it reads the file as the menu does, walks the tree once, and
// calls the rules of tools/checks/ for each element, attribute and control.
#include "tools/Checker.h"

#include <algorithm>
#include <map>

#include "config/MenuSettings.h"
#include "config/Vocabulary.h"
#include "tools/TreeJson.h"
#include "tools/XmlIntent.h"
#include "tools/checks/Checks.h"
#include "tools/checks/NewVocabularyRules.h"
#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"
#include "xml/xmlReader.h"

using checks::npos;

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

using namespace checks;

class Checker {
public:
    Checker(std::string_view bytes, std::wstring_view text, const xmlTree& tree,
            const IntentTree& intent, FileLookup& files, std::vector<Diagnostic>& out)
        : c_(bytes, text, tree, intent, files, out) {}

    void Run() {
        // After the first "?" has cut the file, nothing stands where the author put it.
        if (CheckStructure(c_)) {
            if (c_.traps.count(&c_.tree.Root()) == 0 && IsTrapName(c_.tree.Root().GetName())) {
                ElementTrap(c_, c_.tree.Root(), nullptr);
            }
            CollectBoxIds();
            Walk(c_.tree.Root(), Context::Root);
            CheckSettings();
        }
    }

private:
    // The ids of all check boxes, which values may name before the boxes stand in the file.
    void CollectBoxIds() {
        const xmlElement& root = c_.tree.Root();
        const xmlElement* pages = FindChild(&root, L"Pages");
        std::vector<const xmlElement*> controls = {FindChild(&root, L"BtnBeenden")};
        for (std::size_t p = 0; pages != nullptr && p < pages->GetChildCount(); ++p) {
            for (std::size_t i = 0; i < pages->GetChild(p)->GetChildCount(); ++i) {
                controls.push_back(pages->GetChild(p)->GetChild(i));
            }
        }
        for (const xmlElement* control : controls) {
            const xmlElement* layout = FindChild(control, L"ButtonLayout");
            const std::wstring id = control != nullptr ? control->GetAttribute(L"id") : L"";
            if (layout != nullptr && layout->GetAttribute(L"type") == L"checkbox" && !id.empty()) {
                c_.boxIds.insert(LowerAsciiLetters(id));
            }
        }
    }

    static std::wstring TypeOf(const xmlElement& element, Context context) {
        return element.GetAttribute(context == Context::ToolTippConfig ? L"tttype" : L"type");
    }

    // Each element as written: its attributes, its children, its chain.
    void Walk(const xmlElement& element, Context context) {
        if (c_.traps.count(&element) != 0) {
            return;
        }
        const ElementRule& rule = RuleFor(context);
        WalkAttributes(element, context);
        std::map<std::wstring_view, const xmlElement*> seen;
        const std::wstring type = TypeOf(element, context);
        for (std::size_t i = 0; i < element.GetChildCount(); ++i) {
            const xmlElement& child = *element.GetChild(i);
            if (c_.traps.count(&child) == 0 && IsTrapName(child.GetName())) {
                ElementTrap(c_, child, nullptr);
            }
            if (c_.traps.count(&child) != 0) {
                continue;
            }
            if (rule.anyChild) {
                if (context != Context::Pages || !CheckPageChild(c_, child)) {
                    Walk(child, *rule.anyChild);
                }
                continue;
            }
            const auto childRule =
                std::find_if(rule.children.begin(), rule.children.end(),
                             [&](const ChildRule& r) { return r.name == child.GetName(); });
            if (childRule == rule.children.end()) {
                UnknownElement(c_, child, element, rule);
            } else if (!CheckDuplicateElement(c_, seen, child, element)) {
                continue;
            } else if (!childRule->forType.empty() && type != childRule->forType) {
                CheckUnusedSettings(c_, child, context, type, *childRule);
            } else {
                Walk(child, childRule->context);
            }
        }
        CheckChainElement(c_, element, context);
    }

    void WalkAttributes(const xmlElement& element, Context context) {
        std::map<std::wstring_view, std::size_t> seen;
        for (std::size_t i = 0; i < element.GetAttributeCount(); ++i) {
            const xmlAttributePlace& place = element.GetAttributePlace(i);
            if (place.name == npos || c_.reported.count(place.name) != 0) {
                continue;
            }
            const std::wstring_view name = element.GetAttributeName(i);
            if (!CheckDuplicateAttribute(c_, seen, name, place.name)) {
                continue;
            }
            const AttributeRule* rule = FindAttributeRule(context, name);
            if (rule == nullptr) {
                UnknownAttribute(c_, element, context, name, place.name);
                continue;
            }
            CheckValue(*rule, element, context, element.GetAttributeValue(i), place);
        }
    }

    // Calls the rules for a value of the kind the vocabulary gives it.
    void CheckValue(const AttributeRule& rule, const xmlElement& element, Context context,
                    std::wstring_view value, const xmlAttributePlace& place) {
        const std::size_t at = place.openQuote != npos ? place.openQuote : place.name;
        const std::string name = Shown(rule.name);
        switch (rule.kind) {
        case ValueKind::Caption:
        case ValueKind::Tooltip:
            CheckAmpersand(c_, value, at, name);
            CheckUnreplaced(c_, value, at, name);
            if (rule.kind == ValueKind::Tooltip) {
                CheckTooltipEscapes(c_, value, at);
            }
            break;
        case ValueKind::Number:
            CheckNumber(c_, value, at, name);
            if (context == Context::WinVersionQueryConfig && rule.name == L"majorversion") {
                CheckMajorVersion(c_, element, value, at);
            }
            break;
        case ValueKind::ExitCode:
            CheckExitCodeValue(c_, value, at);
            break;
        case ValueKind::Colour:
            CheckColour(c_, value, at, name);
            break;
        case ValueKind::Accepted:
            CheckAccepted(c_, value, at);
            break;
        case ValueKind::Flag:
            CheckFlag(c_, value, at, name);
            break;
        case ValueKind::Keyword:
            CheckKeyword(c_, rule, context, value, at);
            break;
        case ValueKind::Font:
            CheckFont(c_, value, at);
            break;
        case ValueKind::Picture:
        case ValueKind::Icon:
            CheckPicture(c_, value, at, rule.kind == ValueKind::Icon);
            break;
        case ValueKind::Program:
            CheckVariables(c_, value, at);
            CheckProgramPath(c_, element, value, at);
            break;
        case ValueKind::FilePattern:
            CheckVariables(c_, value, at);
            CheckFilePattern(c_, element, value, at);
            break;
        case ValueKind::Text:
            // Variables are replaced in parameters and registry keys; registry data is
            // compared as written, and the other texts are shown as written.
            if (context == Context::ExecCommandConfig) {
                CheckVariables(c_, value, at);
            } else if (context == Context::RegistryQueryConfig && rule.name == L"key") {
                CheckVariables(c_, value, at);
                CheckRegistryKey(c_, value, at);
            } else if (context == Context::RegistryQueryConfig && rule.name == L"value") {
                CheckRegistryValue(c_, RegistryTypeFromText(element.GetAttribute(L"type")), value,
                                   at);
            } else if (context == Context::Messages && rule.name == L"chainwarning") {
                CheckUnreplaced(c_, value, at, name, L"WHAT");
            } else if (context != Context::Control && context != Context::RegistryQueryConfig) {
                CheckUnreplaced(c_, value, at, name);
            }
            break;
        case ValueKind::Written:
            break;
        }
    }

    // The settings the menu builds its window from: the window, then each control as the
    // menu builds them, the quit button first.
    void CheckSettings() {
        const xmlElement& root = c_.tree.Root();
        if (c_.traps.count(&root) != 0) {
            return;
        }
        const xmlElement* tipConfig = FindChild(&root, L"ToolTippConfig");
        CheckTooltipType(c_, tipConfig);
        c_.tooltip = ReadTooltipSettings(tipConfig);
        const WindowSettings window = ReadWindowSettings(FindChild(&root, L"General"));
        BitmapSize(c_, window.background, c_.pictureWidth, c_.pictureHeight);
        c_.clientWidth = std::max(std::max(window.width, 0), c_.pictureWidth);
        c_.clientHeight = std::max(std::max(window.height, 0), c_.pictureHeight);
        CheckWindowSize(c_);
        const xmlElement* buttonConfig = FindChild(&root, L"ButtonConfig");
        const xmlElement* quit = FindChild(&root, L"BtnBeenden");
        if (quit != nullptr) {
            CheckControl(*quit, buttonConfig, {});
        }
        const xmlElement* pages = FindChild(&root, L"Pages");
        std::vector<int> quitUnreached; // pages where Tab never reaches the quit button
        for (std::size_t p = 0; pages != nullptr && p < pages->GetChildCount(); ++p) {
            const xmlElement& page = *pages->GetChild(p);
            if (c_.traps.count(&page) != 0) {
                continue;
            }
            c_.tabStops.clear();
            c_.placed.clear();
            for (std::size_t i = 0; i < page.GetChildCount(); ++i) {
                const xmlElement& control = *page.GetChild(i);
                if (c_.traps.count(&control) != 0) {
                    continue;
                }
                CheckQuitInPage(c_, control);
                CheckControl(control, buttonConfig, {static_cast<int>(p + 1), i + 1});
            }
            if (QuitUnreachedOnPage(c_)) {
                quitUnreached.push_back(static_cast<int>(p + 1));
            }
        }
        CheckQuitTabIndex(c_, quit, quitUnreached);
        CheckTooltipBox(c_, tipConfig, c_.clientWidth, c_.clientHeight);
    }

    void CheckControl(const xmlElement& element, const xmlElement* buttonConfig,
                      const ControlPlace& place) {
        const ControlSettings control = ReadControlSettings(element, buttonConfig);
        const std::size_t at = element.GetOffset();
        const std::string who = ControlName(element, place);
        CheckCaption(c_, control, at, who);
        CheckControlSize(c_, element, buttonConfig, control, who);
        if (control.kind == ControlKind::CheckBox) {
            CheckCheckBoxId(c_, control, at);
        }
        CheckTabIndex(c_, control, at, place);
        c_.anyTooltip = c_.anyTooltip || !control.tooltip.empty();
        CheckTooltipLines(c_, element, control, who);
        CheckInsideWindow(c_, control, at, who);
        CheckOverlap(c_, control, at, who, place.page < 0);
        CheckLooks(c_, element, buttonConfig, control, at, who);
        if (control.kind == ControlKind::CheckBox) {
            CheckRecorded(c_, element, control, at);
            CheckCheckBoxChains(c_, element);
        }
        CheckExitCodes(c_, control.chain.get(), false);
    }

    CheckContext c_;
};

} // namespace

CheckResult CheckConfig(std::string_view bytes, FileLookup& files) {
    CheckResult result;
    checks::CheckEncoding(bytes, result.diagnostics);
    const std::wstring text = DecodeConfigText(bytes);
    std::unique_ptr<xmlTree> tree;
    try {
        tree = ParseXmlText(text);
    } catch (const xmlError& e) {
        result.readable = false;
        result.diagnostics.push_back(UnreadableDiagnostic(text, e));
    }
    if (tree) {
        const IntentTree intent = ReadIntent(text);
        Checker(bytes, text, *tree, intent, files, result.diagnostics).Run();
        const std::vector<Diagnostic> fit = CheckNewVocabulary(*tree, text);
        result.diagnostics.insert(result.diagnostics.end(), fit.begin(), fit.end());
    }
    std::stable_sort(result.diagnostics.begin(), result.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    return result;
}

Diagnostic UnreadableDiagnostic(std::wstring_view text, const xmlError& error) {
    const TextPosition at = PositionOf(text, error.Offset());
    Diagnostic d{at.line,
                 at.column,
                 Severity::Error,
                 "unreadable",
                 std::string("the menu cannot read this file: ") + error.what(),
                 {}};
    // A value that ends in a backslash, the last of its tag: its quote does not close it.
    const std::size_t open = error.Offset();
    if (std::string_view(error.what()).find("no closing double quote") == std::string::npos ||
        open >= text.size() || text[open] != L'"') {
        return d;
    }
    const std::wstring_view tag = text.substr(open, text.find(L'>', open) - open);
    for (std::size_t q = tag.find(L"\\\""); q != npos; q = tag.find(L"\\\"", q + 1)) {
        if (tag.find_first_not_of(L" \t\r\n/", q + 2) == npos) {
            d.message += "; the value " + Shown(tag.substr(0, q + 2)) +
                         " ends in a backslash, which escapes its closing quote for the menu: "
                         "drop the last backslash, " +
                         Shown(tag.substr(0, q)) + "\"";
            return d;
        }
    }
    return d;
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
        // Appended, which GCC's -O3 restrict check does not misread.
        notes.append(notes.empty() ? "{\"line\":" : ",{\"line\":")
            .append(std::to_string(n.line) + ",\"column\":" + std::to_string(n.column) +
                    ",\"message\":" + JsonText(n.message) + "}");
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
