#include "xml/xmlElement.h"

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

void xmlElement::SetAttributes(const xmlAttribute* first, std::size_t n) {
    auto* all = static_cast<xmlAttribute*>(
        Memory()->Allocate(n * sizeof(xmlAttribute), alignof(xmlAttribute)));
    std::copy(first, first + n, all);
    attributes = all;
    attributeCount = n;
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
    for (std::size_t i = 0; i < attributeCount; ++i) {
        if (attributes[i].name == key) {
            return std::wstring(attributes[i].value);
        }
    }
    return {};
}

xmlTree::xmlTree(std::size_t sizeHint)
    : arena(std::max<std::size_t>(sizeHint * sizeof(wchar_t) * 2, 4096)), root(NewElement(&arena)) {
}

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
