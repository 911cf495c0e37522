// The configuration's element tree. Every element, name and value of one tree
// lives in the tree's arena, beside the text its attributes are decoded from:
// building is a bump of a pointer, and the whole tree goes at once with its
// xmlTree, whatever its depth.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/Arena.h"
#include "config/TextDecoding.h"

// Where an attribute stands in the decoded text: its name (trimmed) and the
// double quotes around its value. npos where the reader took it from text
// before the element's own "<" (text that several elements may read).
struct xmlAttributePlace {
    static constexpr std::size_t npos = std::wstring_view::npos;
    std::size_t name = npos;
    std::size_t openQuote = npos;
    std::size_t closeQuote = npos;
};

// One attribute of an element, in 32 bytes. One the reader finds in the file's UTF-8 text
// keeps where its name and value stand there, which the tree keeps, and decodes them the
// first time either is asked for (so a tree is read from one thread at a time): reading
// the file costs little more than finding them. Places and sizes are held in 32 bits; one
// that does not fit keeps its decoded form in a record of its own.
class xmlAttribute {
public:
    // Name and value in their stored form, already in the tree's memory, the value after the
    // name.
    static xmlAttribute Stored(Arena* arena, std::wstring_view name, std::wstring_view value,
                               const xmlAttributePlace& place);
    // `nameBytes` of UTF-8 text at `name` and `valueBytes` at name + `valueFrom`, which the tree
    // keeps and whose stored form needs no trimming.
    static xmlAttribute Kept(Arena* arena, const char* name, std::size_t nameBytes,
                             std::size_t valueFrom, std::size_t valueBytes,
                             const xmlAttributePlace& place) {
        if constexpr (kMayBeLarge) {
            if (nameBytes >= kLarge || valueBytes >= kLarge || valueFrom >= kDecoded ||
                !Fits(place)) {
                return KeptLarge(arena, name, nameBytes, valueFrom, valueBytes, place);
            }
        }
        return Compact(name, nameBytes, valueBytes, static_cast<std::uint32_t>(valueFrom), place);
    }

    std::wstring_view Name(Arena* arena) const;
    std::wstring_view Value(Arena* arena) const;
    xmlAttributePlace Place() const;

private:
    struct Large {
        std::wstring_view name;
        std::wstring_view value;
        xmlAttributePlace place;
    };
    static constexpr std::uint32_t kLarge = 0xFFFFFFFF;   // in nameSize_: data_ is a Large
    static constexpr std::uint32_t kDecoded = 0x80000000; // in valueFrom_: data_ is wchar_t
    static constexpr std::uint32_t kNoPlace = 0xFFFFFFFF;
    // Where size_t has 32 bits, every place and size fits, and npos is kNoPlace.
    static constexpr bool kMayBeLarge = sizeof(std::size_t) > 4;

    static bool Fits(std::size_t at) { return at < kNoPlace || at == xmlAttributePlace::npos; }
    static bool Fits(const xmlAttributePlace& place) {
        return Fits(place.name) && Fits(place.openQuote) && Fits(place.closeQuote);
    }
    // npos becomes kNoPlace as it is narrowed.
    static xmlAttribute Compact(const void* data, std::size_t nameSize, std::size_t valueSize,
                                std::uint32_t valueFrom, const xmlAttributePlace& place) {
        xmlAttribute a;
        a.data_ = data;
        a.nameSize_ = static_cast<std::uint32_t>(nameSize);
        a.valueSize_ = static_cast<std::uint32_t>(valueSize);
        a.valueFrom_ = valueFrom;
        a.place_[0] = static_cast<std::uint32_t>(place.name);
        a.place_[1] = static_cast<std::uint32_t>(place.openQuote);
        a.place_[2] = static_cast<std::uint32_t>(place.closeQuote);
        return a;
    }
    static xmlAttribute KeptLarge(Arena* arena, const char* name, std::size_t nameBytes,
                                  std::size_t valueFrom, std::size_t valueBytes,
                                  const xmlAttributePlace& place) {
        std::size_t n = 0;
        std::size_t v = 0;
        const wchar_t* out = Decoded(arena, name, nameBytes, valueFrom, valueBytes, n, v);
        return Stored(arena, {out, n}, {out + n, v}, place);
    }
    const Large& AsLarge() const { return *static_cast<const Large*>(data_); }
    // Stored forms of the name at `bytes` and of the value `valueFrom` bytes on, one after the
    // other in the tree's memory; `n` and `v` receive how many units each has.
    static const wchar_t* Decoded(Arena* arena, const char* bytes, std::size_t nameBytes,
                                  std::size_t valueFrom, std::size_t valueBytes, std::size_t& n,
                                  std::size_t& v);
    // The stored forms in place of the UTF-8 text.
    void Decode(Arena* arena) const;

    // UTF-8 text of the name until decoded; then the name, the value `valueFrom_` units on.
    mutable const void* data_;
    mutable std::uint32_t nameSize_;  // bytes, then units
    mutable std::uint32_t valueSize_; // bytes, then units
    mutable std::uint32_t valueFrom_; // bytes, then units with kDecoded
    std::uint32_t place_[3];
};

class xmlElement {
public:
    explicit xmlElement(Arena* arena) : children(ArenaAllocator<xmlElement*>(arena)) {}
    xmlElement(const xmlElement&) = delete;
    xmlElement& operator=(const xmlElement&) = delete;

    std::wstring_view GetName() const { return name; }
    // Value of the first attribute whose name equals `attrName` with A-Z lower-cased; else empty.
    std::wstring GetAttribute(std::wstring_view attrName) const;
    std::size_t GetChildCount() const { return children.size(); }
    xmlElement* GetChild(std::size_t i) const { return children[i]; }

    std::size_t GetAttributeCount() const { return attributeCount; }
    std::wstring_view GetAttributeName(std::size_t i) const { return attributes[i].Name(Memory()); }
    std::wstring_view GetAttributeValue(std::size_t i) const {
        return attributes[i].Value(Memory());
    }
    xmlAttributePlace GetAttributePlace(std::size_t i) const { return attributes[i].Place(); }
    // Index of the element's "<" in the decoded text.
    std::size_t GetOffset() const { return offset; }

    // These two, for trees built by hand, are defined below: only what uses them carries them.
    void SetName(std::wstring_view text);
    // Stores the name with A-Z lower-cased and the value with each backslash-quote as a quote;
    // each addition copies the element's attributes.
    void AddAttribute(std::wstring_view attrName, std::wstring_view value,
                      const xmlAttributePlace& place = {});
    void SetOffset(std::size_t at) { offset = at; }
    // Room in this tree's memory for `n` characters, to decode a name or value straight into.
    wchar_t* Room(std::size_t n);
    // SetName for text that already lies in Room, in its stored form.
    void SetNameInRoom(std::wstring_view text) { name = text; }
    // The element's `n` attributes, made in this tree's memory before, put next to each other.
    void SetAttributes(const xmlAttribute* first, std::size_t n);
    // The tree's memory.
    Arena* Memory() const { return children.get_allocator().arena(); }
    // Appends a new element without name, attributes or children, owned like this one.
    xmlElement& AddChild();

private:
    std::wstring_view name;
    std::size_t offset = 0;
    const xmlAttribute* attributes = nullptr;
    std::size_t attributeCount = 0;
    std::vector<xmlElement*, ArenaAllocator<xmlElement*>> children;
};

// The stored form of a name or value: with `kLower` A-Z lower-cased (attribute names), with
// `kUnescape` each backslash-quote made a quote (values). Writes the form of `size` units
// (or ASCII bytes) at `in` to `out`, which may be `in`, and returns how many it wrote.
template <bool kLower, bool kUnescape, typename Unit>
std::size_t StoredForm(const Unit* in, std::size_t size, wchar_t* out) {
    // One pass without branches the compiler can vectorise; unescaping only where needed.
    bool backslash = false;
    for (std::size_t i = 0; i < size; ++i) {
        auto c = static_cast<wchar_t>(in[i]);
        if (kLower) {
            c = static_cast<wchar_t>(c + (static_cast<unsigned>(c - L'A') < 26u ? 32 : 0));
        }
        if (kUnescape) {
            backslash |= c == L'\\';
        }
        out[i] = c;
    }
    if (!backslash) {
        return size;
    }
    std::size_t n = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (out[i] != L'\\' || i + 1 == size || out[i + 1] != L'"') {
            out[n++] = out[i];
        }
    }
    return n;
}

inline void xmlElement::SetName(std::wstring_view text) {
    wchar_t* out = Room(text.size());
    name = {out, StoredForm<false, false>(text.data(), text.size(), out)};
}

inline void xmlElement::AddAttribute(std::wstring_view attrName, std::wstring_view value,
                                     const xmlAttributePlace& place) {
    wchar_t* room = Room(attrName.size() + value.size());
    const std::size_t n = StoredForm<true, false>(attrName.data(), attrName.size(), room);
    const std::size_t v = StoredForm<false, true>(value.data(), value.size(), room + n);
    std::vector<xmlAttribute> all(attributes, attributes + attributeCount);
    all.push_back(xmlAttribute::Stored(Memory(), {room, n}, {room + n, v}, place));
    SetAttributes(all.data(), all.size());
}

// StoredForm of UTF-8 text that holds no NUL, with `lower` and `unescape` as kLower and
// kUnescape, written to `out`, which has room for as many units as the text has bytes.
// Returns how many it wrote; `decoded` receives how many units the text decodes to.
std::size_t StoredFormOfUtf8(std::string_view text, wchar_t* out, std::size_t& decoded, bool lower,
                             bool unescape);

// Owns one tree: its root element and everything below it.
class xmlTree {
public:
    // `sizeHint`: about how many characters of text the tree is built from.
    explicit xmlTree(std::size_t sizeHint = 0);
    xmlTree(const xmlTree&) = delete;
    xmlTree& operator=(const xmlTree&) = delete;

    xmlElement& Root() const { return *root; }
    // Keeps the configuration text of a file's bytes (ConfigTextBytesTo) in the tree's memory
    // as long as the tree, for attributes read from it; returns it.
    std::string_view KeepConfigText(std::string_view fileBytes);
    // Index of the root's own end tag in the decoded text; npos when the text ends before it.
    std::size_t RootEndTag() const { return rootEndTag; }
    void SetRootEndTag(std::size_t at) { rootEndTag = at; }

private:
    Arena arena;
    xmlElement* root;
    std::size_t rootEndTag = std::wstring_view::npos;
};

// The first direct child named exactly `name`, or none; none also for no element.
xmlElement* FindChild(const xmlElement* element, std::wstring_view name);

// A-Z become a-z; every other character stays as it is.
std::wstring LowerAsciiLetters(std::wstring_view text);
