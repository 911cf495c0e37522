#include "config/xmlElement.h"

#include <algorithm>
#include <new>
#include <utility>

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

xmlAttribute xmlAttribute::Stored(Arena* arena, std::wstring_view name, std::wstring_view value,
                                  const xmlAttributePlace& place) {
    // The value is found from the name: both lie in one piece of the tree's memory.
    const wchar_t* base = name.empty() ? value.data() : name.data();
    const std::size_t valueFrom = value.empty() ? 0 : static_cast<std::size_t>(value.data() - base);
    if ((!value.empty() && value.data() < base) || valueFrom >= kDecoded || name.size() >= kLarge ||
        value.size() >= kLarge || !Fits(place)) {
        void* room = arena->Allocate(sizeof(Large), alignof(Large));
        return Compact(new (room) Large{name, value, place}, kLarge, 0, 0, {});
    }
    return Compact(base, name.size(), value.size(),
                   static_cast<std::uint32_t>(valueFrom) | kDecoded, place);
}

xmlAttribute xmlAttribute::KeptLarge(Arena* arena, const char* name, std::size_t nameBytes,
                                     std::size_t valueFrom, std::size_t valueBytes,
                                     const xmlAttributePlace& place) {
    const std::pair<std::wstring_view, std::wstring_view> stored =
        Decoded(arena, {name, nameBytes}, {name + valueFrom, valueBytes});
    return Stored(arena, stored.first, stored.second, place);
}

std::pair<std::wstring_view, std::wstring_view>
xmlAttribute::Decoded(Arena* arena, std::string_view name, std::string_view value) {
    auto* out = static_cast<wchar_t*>(
        arena->Allocate((name.size() + value.size()) * sizeof(wchar_t), alignof(wchar_t)));
    std::size_t decoded = 0;
    const std::size_t n = StoredFormOfUtf8<true, false>(name, out, decoded);
    const std::size_t v = StoredFormOfUtf8<false, true>(value, out + n, decoded);
    return {{out, n}, {out + n, v}};
}

void xmlAttribute::Decode(Arena* arena) const {
    const auto* bytes = static_cast<const char*>(data_);
    const std::pair<std::wstring_view, std::wstring_view> stored =
        Decoded(arena, {bytes, nameSize_}, {bytes + valueFrom_, valueSize_});
    data_ = stored.first.data();
    nameSize_ = static_cast<std::uint32_t>(stored.first.size());
    valueSize_ = static_cast<std::uint32_t>(stored.second.size());
    valueFrom_ = nameSize_ | kDecoded;
}

std::wstring_view xmlAttribute::Name(Arena* arena) const {
    if (nameSize_ == kLarge) {
        return AsLarge().name;
    }
    if ((valueFrom_ & kDecoded) == 0) {
        Decode(arena);
    }
    return {static_cast<const wchar_t*>(data_), nameSize_};
}

std::wstring_view xmlAttribute::Value(Arena* arena) const {
    if (nameSize_ == kLarge) {
        return AsLarge().value;
    }
    if ((valueFrom_ & kDecoded) == 0) {
        Decode(arena);
    }
    return {static_cast<const wchar_t*>(data_) + (valueFrom_ & ~kDecoded), valueSize_};
}

xmlAttributePlace xmlAttribute::Place() const {
    if (nameSize_ == kLarge) {
        return AsLarge().place;
    }
    auto widen = [](std::uint32_t at) {
        return at == kNoPlace ? xmlAttributePlace::npos : static_cast<std::size_t>(at);
    };
    return {widen(place_[0]), widen(place_[1]), widen(place_[2])};
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
    attributes.push_back(xmlAttribute::Stored(Memory(), Keep(attrName, true, false),
                                              Keep(value, false, true), place));
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
    for (const xmlAttribute& a : attributes) {
        if (a.Name(Memory()) == key) {
            return std::wstring(a.Value(Memory()));
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
