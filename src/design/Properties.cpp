#include "design/Properties.h"

#include <utility>

#include "config/AttributeEdit.h"
#include "design/ControlBytes.h"
#include "xml/xmlReader.h"

namespace {

// The contexts of a control's elements, and the names of those elements.
struct Part {
    Context context;
    std::wstring_view name; // empty: the control's own element
};
constexpr Part kParts[] = {
    {Context::Control, L""},
    {Context::ButtonPosition, L"ButtonPosition"},
    {Context::ButtonLayout, L"ButtonLayout"},
    {Context::ButtonMouseOverLayout, L"ButtonMouseOverLayout"},
    {Context::Font, L"Font"},
    {Context::MouseOverFont, L"MouseOverFont"},
};

// The value of the attribute the menu reads under `name`, when the element has one.
std::optional<std::wstring> Written(const xmlElement* element, std::wstring_view name) {
    const std::wstring lower = LowerAsciiLetters(name);
    for (std::size_t i = 0; element != nullptr && i < element->GetAttributeCount(); ++i) {
        if (element->GetAttributeName(i) == lower) {
            return std::wstring(element->GetAttributeValue(i));
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<Property> ControlProperties(const xmlTree& tree, const ControlRef& control) {
    const xmlElement* element = ControlElement(tree, control);
    if (element == nullptr) {
        return {};
    }
    const xmlElement* buttonConfig = FindChild(&tree.Root(), L"ButtonConfig");
    const bool checkBox =
        ControlKindFromText(Written(FindChild(element, L"ButtonLayout"), L"type").value_or(L"")) ==
        ControlKind::CheckBox;
    std::vector<Property> properties;
    for (const Part& part : kParts) {
        const xmlElement* own = ControlPart(tree, control, part.name);
        const xmlElement* defaults =
            part.name.empty() ? nullptr : FindChild(buttonConfig, part.name);
        for (const AttributeRule& rule : RuleFor(part.context).attributes) {
            // The menu writes it and never reads it; a check box's state, though, is recorded
            // only where its layout has the attribute, which the author puts there.
            if (rule.kind == ValueKind::Written &&
                !(checkBox && part.context == Context::ButtonLayout)) {
                continue;
            }
            Property property{part.name, rule.name, rule.kind, L"", PropertySource::Default};
            // A whole element of its own decides even for what it leaves out.
            const bool fromDefaults =
                rule.fromButtonConfig == Supplied::Yes ||
                (rule.fromButtonConfig == Supplied::WholeElement && own == nullptr);
            std::optional<std::wstring> value = Written(own, rule.name);
            // An empty value of its own gives way to ButtonConfig's, as the menu reads it.
            if (value && (!value->empty() || rule.fromButtonConfig != Supplied::Yes)) {
                property.value = std::move(*value);
                property.source = PropertySource::Own;
            } else if (std::optional<std::wstring> inherited = Written(defaults, rule.name);
                       inherited && fromDefaults) {
                property.value = std::move(*inherited);
                property.source = PropertySource::ButtonConfig;
            }
            properties.push_back(std::move(property));
        }
    }
    return properties;
}

std::vector<Property> MenuProperties(const xmlTree& tree) {
    const xmlElement* general = FindChild(&tree.Root(), kMenuPart);
    std::vector<Property> properties;
    if (general == nullptr) {
        return properties;
    }
    for (const AttributeRule& rule : RuleFor(Context::General).attributes) {
        const std::optional<std::wstring> value = Written(general, rule.name);
        properties.push_back({kMenuPart, rule.name, rule.kind, value.value_or(L""),
                              value ? PropertySource::Own : PropertySource::Default});
    }
    return properties;
}

const wchar_t* SourceText(PropertySource source) {
    switch (source) {
    case PropertySource::Own:
        return L"own element";
    case PropertySource::ButtonConfig:
        return L"ButtonConfig";
    case PropertySource::Default:
        break;
    }
    return L"default";
}

std::wstring PathFromMenuFolder(std::wstring_view folder, std::wstring_view chosen) {
    const auto canonical = [](std::wstring_view path) {
        std::wstring out = LowerAsciiLetters(path);
        for (wchar_t& c : out) {
            c = c == L'/' ? L'\\' : c;
        }
        return out;
    };
    std::wstring base = canonical(folder);
    if (!base.empty() && base.back() != L'\\') {
        base += L'\\';
    }
    const std::wstring path = canonical(chosen);
    if (base.empty() || path.compare(0, base.size(), base) != 0) {
        return std::wstring(chosen);
    }
    std::wstring relative(chosen.substr(base.size()));
    for (wchar_t& c : relative) {
        c = c == L'/' ? L'\\' : c;
    }
    return relative;
}

std::wstring ColourText(unsigned red, unsigned green, unsigned blue) {
    return std::to_wstring(red) + L" " + std::to_wstring(green) + L" " + std::to_wstring(blue);
}

std::optional<std::wstring> FontText(std::wstring_view face, bool bold, bool italic,
                                     bool underline) {
    if (face.empty() || face.find(L' ') != std::wstring_view::npos) {
        return std::nullopt;
    }
    std::wstring text(face);
    for (const auto& [on, word] : {std::pair{bold, L" Bold"}, std::pair{italic, L" Italic"},
                                   std::pair{underline, L" Underline"}}) {
        if (on) {
            text += word;
        }
    }
    return text;
}
