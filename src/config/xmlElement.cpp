#include "config/xmlElement.h"

#include <algorithm>
#include <new>

namespace {

xmlElement* NewElement(Arena* arena) {
    // Elements are never destroyed one by one: the arena releases them with their tree.
    return new (arena->Allocate(sizeof(xmlElement), alignof(xmlElement))) xmlElement(arena);
}

} // namespace

std::wstring LowerAsciiLetters(std::wstring_view text) {
    std::wstring out(text);
    StoredForm<true, false>(out.data(), out.size(), out.data());
    return out;
}

wchar_t* xmlElement::Room(std::size_t n) {
    return static_cast<wchar_t*>(
        children.get_allocator().arena()->Allocate(n * sizeof(wchar_t), alignof(wchar_t)));
}

std::wstring_view xmlElement::Keep(std::wstring_view text, bool lowerAscii, bool unescapeQuotes) {
    if (text.empty()) {
        return {};
    }
    wchar_t* out = Room(text.size());
    const std::size_t n = lowerAscii ? StoredForm<true, false>(text.data(), text.size(), out)
                          : unescapeQuotes
                              ? StoredForm<false, true>(text.data(), text.size(), out)
                              : StoredForm<false, false>(text.data(), text.size(), out);
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
