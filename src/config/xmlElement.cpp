#include "config/xmlElement.h"

xmlElement::~xmlElement() {
    std::vector<std::unique_ptr<xmlElement>> pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<xmlElement> element = std::move(pending.back());
        pending.pop_back();
        for (auto& child : element->children) {
            pending.push_back(std::move(child));
        }
        element->children.clear();
    }
}

std::wstring LowerAsciiLetters(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return out;
}

std::wstring xmlElement::GetAttribute(std::wstring_view attrName) const {
    const std::wstring key = LowerAsciiLetters(attrName);
    for (std::size_t i = 0; i < attributeNames.size(); ++i) {
        if (attributeNames[i] == key) {
            return attributeValues[i];
        }
    }
    return {};
}

void xmlElement::AddAttribute(std::wstring_view attrName, std::wstring_view value) {
    std::wstring unescaped;
    unescaped.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == L'\\' && i + 1 < value.size() && value[i + 1] == L'"') {
            continue;
        }
        unescaped.push_back(value[i]);
    }
    attributeNames.push_back(LowerAsciiLetters(attrName));
    attributeValues.push_back(std::move(unescaped));
}

xmlElement* xmlElement::AddChild(std::unique_ptr<xmlElement> element) {
    children.push_back(std::move(element));
    return children.back().get();
}

xmlElement* FindChild(const xmlElement* element, std::wstring_view name) {
    if (element == nullptr) {
        return nullptr;
    }
    for (const auto& child : element->children) {
        if (child->name == name) {
            return child.get();
        }
    }
    return nullptr;
}
