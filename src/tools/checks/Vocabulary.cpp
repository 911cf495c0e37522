// Vocabulary: which elements and attributes the menu reads where, with the name the author
// likely meant for one it never reads.
#include <algorithm>

#include "tools/checks/Checks.h"

namespace checks {

namespace {

bool LooksLikeControl(const xmlElement& element) {
    for (const wchar_t* name : {L"ButtonLayout", L"ButtonPosition", L"Command", L"Query"}) {
        if (FindChild(&element, name) != nullptr) {
            return true;
        }
    }
    return false;
}

std::optional<Context> ControlContextOf(Context defaults) {
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

// Where the author likely meant an unknown attribute: a word the vocabulary says
// otherwise, or the same name on an element beside or inside this one.
std::optional<std::string> Elsewhere(const xmlElement& element, Context context,
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

// Whether the type names a kind the menu knows; an unknown one has its own diagnostic.
bool IsKeyword(Context context, std::wstring_view type) {
    const AttributeRule* rule =
        FindAttributeRule(context, context == Context::ToolTippConfig ? L"tttype" : L"type");
    return rule != nullptr &&
           std::find(rule->keywords.begin(), rule->keywords.end(), type) != rule->keywords.end();
}

} // namespace

bool CheckPageChild(CheckContext& c, const xmlElement& child) {
    if (!LooksLikeControl(child)) {
        return false;
    }
    c.traps.insert(&child);
    c.Error(child.GetOffset(), "page",
            Tag(child.GetName()) +
                " stands directly in <Pages>, so this element is a page, and the "
                "menu reads its children as controls without a caption and "
                "stops; put the control inside a page: <Pages><Page>" +
                Tag(child.GetName()) + "...</" + Shown(child.GetName()) + "></Page></Pages>");
    return true;
}

void UnknownElement(CheckContext& c, const xmlElement& child, const xmlElement& parent,
                    const ElementRule& rule) {
    c.unknownIn.insert(&parent);
    std::vector<std::wstring_view> names;
    for (const ChildRule& r : rule.children) {
        names.push_back(r.name);
    }
    // The branches in the words an author may reach for first.
    static const std::pair<std::wstring_view, std::wstring_view> kBranches[] = {
        {L"yes", L"Positiv"}, {L"ja", L"Positiv"},   {L"true", L"Positiv"},  {L"then", L"Positiv"},
        {L"no", L"Negativ"},  {L"nein", L"Negativ"}, {L"false", L"Negativ"}, {L"else", L"Negativ"}};
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
    c.Error(child.GetOffset(), "unknown-element",
            "the menu does not read " + Tag(child.GetName()) + " inside " + Tag(parent.GetName()),
            std::move(notes));
}

bool CheckDuplicateElement(CheckContext& c, std::map<std::wstring_view, const xmlElement*>& seen,
                           const xmlElement& child, const xmlElement& parent) {
    const auto [first, isNew] = seen.emplace(child.GetName(), &child);
    if (!isNew) {
        c.Warning(child.GetOffset(), "duplicate-element",
                  "only the first " + Tag(child.GetName()) + " in " + Tag(parent.GetName()) +
                      " is read; this one is ignored",
                  {{first->second->GetOffset(), "the first one is here"}});
    }
    return isNew;
}

void CheckUnusedSettings(CheckContext& c, const xmlElement& child, Context context,
                         std::wstring_view type, const ChildRule& rule) {
    // Under an unknown type nothing is read; the type has its own diagnostic.
    if (IsKeyword(context, type)) {
        c.Error(child.GetOffset(), "unused-settings",
                Tag(child.GetName()) + " is read only when " +
                    (context == Context::ToolTippConfig ? "tttype" : "type") + " is " +
                    Quoted(rule.forType) + ", and here it is " + Quoted(type));
    }
}

bool CheckDuplicateAttribute(CheckContext& c, std::map<std::wstring_view, std::size_t>& seen,
                             std::wstring_view name, std::size_t at) {
    const auto [first, isNew] = seen.emplace(name, at);
    if (!isNew) {
        c.Warning(at, "duplicate-attribute",
                  "only the first " + Quoted(name) + " of an element is read",
                  {{first->second, "the first one is here"}});
    }
    return isNew;
}

void UnknownAttribute(CheckContext& c, const xmlElement& element, Context context,
                      std::wstring_view name, std::size_t at) {
    const std::optional<Context> own = ControlContextOf(context);
    if (own && FindAttributeRule(*own, name) != nullptr) {
        std::string supplied;
        for (const AttributeRule& r : RuleFor(context).attributes) {
            supplied += (supplied.empty() ? "" : ", ") + Shown(r.name);
        }
        c.Error(at, "not-a-default",
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
    c.Error(at, "unknown-attribute",
            "the menu does not read the attribute " + Quoted(name) + " on " +
                Tag(element.GetName()),
            std::move(notes));
}

} // namespace checks
