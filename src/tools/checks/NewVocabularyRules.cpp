#include "tools/checks/NewVocabularyRules.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "config/MenuSettings.h"
#include "xml/xmlElement.h"

namespace {

struct Finder {
    const LineIndex& lines;
    std::vector<Diagnostic>& out;

    // Reports at the value of `attribute` of `element` when it has one, else at the element.
    void Report(const xmlElement* element, std::wstring_view attribute, Severity severity,
                const char* rule, std::string message) {
        std::size_t offset = element != nullptr ? element->GetOffset() : 0;
        for (std::size_t i = 0; element != nullptr && i < element->GetAttributeCount(); ++i) {
            const xmlAttributePlace place = element->GetAttributePlace(i);
            if (LowerAsciiLetters(element->GetAttributeName(i)) == LowerAsciiLetters(attribute) &&
                place.openQuote != xmlAttributePlace::npos) {
                offset = place.openQuote;
                break;
            }
        }
        const auto [line, column] = lines.At(offset);
        out.push_back({line, column, severity, rule, std::move(message), {}});
    }
};

// Calls `visit` for every action of a chain, in the builder's order.
void EachAction(const ActionSettings* action,
                const std::function<void(const ActionSettings&)>& visit) {
    if (action == nullptr) {
        return;
    }
    visit(*action);
    for (const ChainLink* link : {&action->next, &action->positive, &action->negative}) {
        EachAction(link->command.get(), visit);
        EachAction(link->query.get(), visit);
    }
}

// The ids that %CHECK:id% names in `text`, read as the menu reads its variables: in one pass
// from the left, where the closing '%' of a name that is no variable opens the next.
std::vector<std::wstring> CheckIds(std::wstring_view text) {
    std::vector<std::wstring> ids;
    for (std::size_t from = 0;;) {
        const std::size_t open = text.find(L'%', from);
        const std::size_t close = open == text.npos ? open : text.find(L'%', open + 1);
        if (close == text.npos) {
            return ids;
        }
        const std::wstring key = LowerAsciiLetters(text.substr(open + 1, close - open - 1));
        const bool check = key.rfind(L"check:", 0) == 0;
        if (check) {
            ids.emplace_back(text.substr(open + 7, close - open - 7));
        }
        from = check || key == L"menudir" || key == L"menudrive" ? close + 1 : close;
    }
}

// Every control element of the file: the quit button, then each page's.
std::vector<const xmlElement*> ControlElements(const xmlElement* root) {
    std::vector<const xmlElement*> controls;
    if (const xmlElement* quit = FindChild(root, L"BtnBeenden")) {
        controls.push_back(quit);
    }
    const xmlElement* pages = FindChild(root, L"Pages");
    for (std::size_t p = 0; pages != nullptr && p < pages->GetChildCount(); ++p) {
        const xmlElement* page = pages->GetChild(p);
        for (std::size_t c = 0; c < page->GetChildCount(); ++c) {
            controls.push_back(page->GetChild(c));
        }
    }
    return controls;
}

} // namespace

std::vector<Diagnostic> CheckNewVocabulary(const xmlTree& tree, std::wstring_view text) {
    std::vector<Diagnostic> out;
    const LineIndex lines(text);
    Finder finder{lines, out};
    const xmlElement* root = &tree.Root();
    const xmlElement* buttonConfig = FindChild(root, L"ButtonConfig");
    const xmlElement* pages = FindChild(root, L"Pages");
    const std::size_t pageCount = pages == nullptr ? 0 : pages->GetChildCount();
    std::vector<ControlSettings> controls;
    std::vector<std::wstring> boxIds;
    const bool menuId = !ReadWindowSettings(FindChild(root, L"General")).menuId.empty();
    for (const xmlElement* element : ControlElements(root)) {
        controls.push_back(ReadControlSettings(*element, buttonConfig));
        if (controls.back().kind == ControlKind::CheckBox) {
            boxIds.push_back(controls.back().id);
        }
        if (controls.back().rememberUser && !menuId) {
            finder.Report(FindChild(element, L"ButtonLayout"), L"remember", Severity::Error,
                          "remember",
                          "remember=\"user\" needs a menuid on <General>, which names where the "
                          "choice is kept: without it the menu remembers nothing");
        }
    }
    for (const ControlSettings& control : controls) {
        for (const ConditionSettings* condition : {&control.showIf, &control.enableIf}) {
            for (const auto& query : condition->queries) {
                if (query->type == ActionType::YesNoBox || query->type == ActionType::ExitCode) {
                    finder.Report(query->source, L"type", Severity::Error, "condition",
                                  query->type == ActionType::YesNoBox
                                      ? "a yesnobox query cannot be a condition: the menu asks "
                                        "nothing while it shows a page, and the condition never "
                                        "holds"
                                      : "an exitcode query cannot be a condition: no chain has "
                                        "run a program for it, and the condition never holds");
                }
            }
        }
        EachAction(control.chain.get(), [&](const ActionSettings& action) {
            if (action.type == ActionType::Exec) {
                const xmlElement* config = FindChild(action.source, L"ExecCommandConfig");
                for (const auto& [name, value] : {std::pair(L"path", &action.path),
                                                  std::pair(L"parameter", &action.parameter)}) {
                    for (const std::wstring& id : CheckIds(*value)) {
                        if (std::find(boxIds.begin(), boxIds.end(), id) == boxIds.end()) {
                            finder.Report(config, name, Severity::Error, "check-variable",
                                          "%CHECK:" + Shown(id) +
                                              "% names no check box's id: the program gets it "
                                              "as written, not 1 or 0");
                        }
                    }
                }
            }
            if (action.type == ActionType::GotoPage &&
                (action.page < 1 || static_cast<std::size_t>(action.page) > pageCount)) {
                const xmlElement* config = FindChild(action.source, L"GotoPageCommandConfig");
                finder.Report(config != nullptr ? config : action.source, L"page", Severity::Error,
                              "gotopage",
                              "gotopage leads to page " + std::to_string(action.page) +
                                  ", but the file has " + std::to_string(pageCount) +
                                  (pageCount == 1 ? " page" : " pages") +
                                  " (counted from 1): the step fails and the menu shows the "
                                  "chain warning");
            }
        });
    }
    return out;
}

namespace {

// Each page's control elements, in the file's order.
std::vector<std::vector<const xmlElement*>> PageControls(const xmlElement* root) {
    std::vector<std::vector<const xmlElement*>> pages;
    const xmlElement* element = FindChild(root, L"Pages");
    for (std::size_t p = 0; element != nullptr && p < element->GetChildCount(); ++p) {
        const xmlElement* page = element->GetChild(p);
        pages.emplace_back();
        for (std::size_t c = 0; c < page->GetChildCount(); ++c) {
            pages.back().push_back(page->GetChild(c));
        }
    }
    return pages;
}

std::vector<std::wstring> BoxIds(const xmlElement* root) {
    std::vector<std::wstring> ids;
    const xmlElement* buttonConfig = FindChild(root, L"ButtonConfig");
    for (const xmlElement* element : ControlElements(root)) {
        const ControlSettings control = ReadControlSettings(*element, buttonConfig);
        if (control.kind == ControlKind::CheckBox && !control.id.empty()) {
            ids.push_back(control.id);
        }
    }
    return ids;
}

} // namespace

std::vector<Diagnostic> CompareLanguageVariant(const xmlTree& plain, const xmlTree& variant,
                                               std::wstring_view variantText) {
    std::vector<Diagnostic> out;
    const LineIndex lines(variantText);
    Finder finder{lines, out};
    const xmlElement* plainRoot = &plain.Root();
    const xmlElement* root = &variant.Root();
    const auto plainPages = PageControls(plainRoot);
    const auto pages = PageControls(root);
    const xmlElement* pagesElement = FindChild(root, L"Pages");
    for (std::size_t p = 0; p < plainPages.size(); ++p) {
        const std::string page = "page " + std::to_string(p + 1);
        if (p >= pages.size()) {
            finder.Report(pagesElement != nullptr ? pagesElement : root, {}, Severity::Warning,
                          "language-variant",
                          "this language variant lacks " + page + " of the plain file");
            continue;
        }
        for (std::size_t c = pages[p].size(); c < plainPages[p].size(); ++c) {
            const std::wstring caption =
                ReadControlSettings(*plainPages[p][c], FindChild(plainRoot, L"ButtonConfig"))
                    .caption;
            finder.Report(pagesElement->GetChild(p), {}, Severity::Warning, "language-variant",
                          "this language variant lacks control " + std::to_string(c + 1) + " of " +
                              page + " of the plain file (\"" + Shown(caption) + "\")");
        }
    }
    const std::vector<std::wstring> ids = BoxIds(root);
    for (const std::wstring& id : BoxIds(plainRoot)) {
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) {
            finder.Report(root, {}, Severity::Warning, "language-variant",
                          "this language variant has no check box with the id \"" + Shown(id) +
                              "\" of the plain file: a program that reads its state there finds "
                              "none");
        }
    }
    return out;
}
