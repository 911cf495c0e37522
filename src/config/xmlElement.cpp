#include "config/xmlElement.h"

#include <algorithm>
#include <new>

namespace {

wchar_t LowerAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c;
}

xmlElement* NewElement(Arena* arena) {
    // Elements are never destroyed one by one: the arena releases them with their tree.
    return new (arena->Allocate(sizeof(xmlElement), alignof(xmlElement))) xmlElement(arena);
}

} // namespace

std::wstring LowerAsciiLetters(std::wstring_view text) {
    std::wstring out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

std::wstring_view xmlElement::Keep(std::wstring_view text, bool lowerAscii, bool unescapeQuotes) {
    if (text.empty()) {
        return {};
    }
    auto* out = static_cast<wchar_t*>(children.get_allocator().arena()->Allocate(
        text.size() * sizeof(wchar_t), alignof(wchar_t)));
    if (unescapeQuotes && text.find(L'\\') == std::wstring_view::npos) {
        unescapeQuotes = false;
    }
    if (!lowerAscii && !unescapeQuotes) {
        std::copy(text.begin(), text.end(), out);
        return {out, text.size()};
    }
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (unescapeQuotes && text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'"') {
            continue;
        }
        out[n++] = lowerAscii ? LowerAscii(text[i]) : text[i];
    }
    return {out, n};
}

void xmlElement::SetName(std::wstring_view text) {
    name = Keep(text, false, false);
}

void xmlElement::AddAttribute(std::wstring_view attrName, std::wstring_view value,
                              const xmlAttributePlace& place) {
    if (attributes.empty()) {
        attributes.reserve(4); // most elements have a few; saves the first regrowths
    }
    attributes.push_back({Keep(attrName, true, false), Keep(value, false, true), place});
}

xmlElement& xmlElement::AddChild() {
    if (children.empty()) {
        children.reserve(4);
    }
    children.push_back(NewElement(children.get_allocator().arena()));
    return *children.back();
}

std::wstring xmlElement::GetAttribute(std::wstring_view attrName) const {
    const std::wstring key = LowerAsciiLetters(attrName);
    for (const Attribute& a : attributes) {
        if (a.name == key) {
            return std::wstring(a.value);
        }
    }
    return {};
}

xmlTree::xmlTree(std::size_t sizeHint)
    : arena(std::max<std::size_t>(sizeHint * sizeof(wchar_t), 4096)), root(NewElement(&arena)) {}

xmlElement* FindChild(const xmlElement* element, std::wstring_view name) {
    if (element == nullptr) {
        return nullptr;
    }
    for (std::size_t i = 0; i < element->GetChildCount(); ++i) {
        if (element->GetChild(i)->GetName() == name) {
            return element->GetChild(i);
        }
    }
    return nullptr;
}
