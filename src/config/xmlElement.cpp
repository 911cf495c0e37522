#include "config/xmlElement.h"

#include <algorithm>
#include <new>

namespace {

xmlElement* NewElement(Arena* arena) {
    // Elements are never destroyed one by one: the arena releases them with their tree.
    return new (arena->Allocate(sizeof(xmlElement), alignof(xmlElement))) xmlElement(arena);
}

} // namespace

std::size_t StoredFormOfUtf8(std::string_view text, wchar_t* out, std::size_t& decoded, bool lower,
                             bool unescape) {
    decoded = DecodeUtf8To(text, out);
    return lower      ? StoredForm<true, false>(out, decoded, out)
           : unescape ? StoredForm<false, true>(out, decoded, out)
                      : decoded;
}

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
    if (kMayBeLarge && (valueFrom >= kDecoded || name.size() >= kLarge || value.size() >= kLarge ||
                        !Fits(place))) {
        void* room = arena->Allocate(sizeof(Large), alignof(Large));
        return Compact(new (room) Large{name, value, place}, kLarge, 0, 0, {});
    }
    return Compact(base, name.size(), value.size(),
                   static_cast<std::uint32_t>(valueFrom) | kDecoded, place);
}

const wchar_t* xmlAttribute::Decoded(Arena* arena, const char* bytes, std::size_t nameBytes,
                                     std::size_t valueFrom, std::size_t valueBytes, std::size_t& n,
                                     std::size_t& v) {
    auto* out = static_cast<wchar_t*>(
        arena->Allocate((nameBytes + valueBytes) * sizeof(wchar_t), alignof(wchar_t)));
    std::size_t decoded = 0;
    n = StoredFormOfUtf8({bytes, nameBytes}, out, decoded, true, false);
    v = StoredFormOfUtf8({bytes + valueFrom, valueBytes}, out + n, decoded, false, true);
    return out;
}

void xmlAttribute::Decode(Arena* arena) const {
    std::size_t n = 0;
    std::size_t v = 0;
    data_ =
        Decoded(arena, static_cast<const char*>(data_), nameSize_, valueFrom_, valueSize_, n, v);
    nameSize_ = static_cast<std::uint32_t>(n);
    valueSize_ = static_cast<std::uint32_t>(v);
    valueFrom_ = nameSize_ | kDecoded;
}

std::wstring_view xmlAttribute::Name(Arena* arena) const {
    if (kMayBeLarge && nameSize_ == kLarge) {
        return AsLarge().name;
    }
    if ((valueFrom_ & kDecoded) == 0) {
        Decode(arena);
    }
    return {static_cast<const wchar_t*>(data_), nameSize_};
}

std::wstring_view xmlAttribute::Value(Arena* arena) const {
    if (kMayBeLarge && nameSize_ == kLarge) {
        return AsLarge().value;
    }
    if ((valueFrom_ & kDecoded) == 0) {
        Decode(arena);
    }
    return {static_cast<const wchar_t*>(data_) + (valueFrom_ & ~kDecoded), valueSize_};
}

xmlAttributePlace xmlAttribute::Place() const {
    if (kMayBeLarge && nameSize_ == kLarge) {
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
        if (attributes[i].Name(Memory()) == key) {
            return std::wstring(attributes[i].Value(Memory()));
        }
    }
    return {};
}

xmlTree::xmlTree(std::size_t sizeHint)
    : arena(std::max<std::size_t>(sizeHint * sizeof(wchar_t), 4096)), root(NewElement(&arena)) {}

std::string_view xmlTree::KeepConfigText(std::string_view fileBytes) {
    auto* text = static_cast<char*>(arena.Allocate(fileBytes.size(), 1));
    return {text, ConfigTextBytesTo(fileBytes, text)};
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
