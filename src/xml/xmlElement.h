// The configuration's element tree. Every element, name and value of one tree
// lives in the tree's arena: building is a bump of a pointer, and the whole tree
// goes at once with its xmlTree, whatever its depth.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "xml/Arena.h"
#include "xml/TextDecoding.h"

// Where an attribute stands in the decoded text: its name (trimmed) and the
// double quotes around its value. npos where the reader took it from text
// before the element's own "<" (text that several elements may read).
struct xmlAttributePlace {
    static constexpr std::size_t npos = std::wstring_view::npos;
    std::size_t name = npos;
    std::size_t openQuote = npos;
    std::size_t closeQuote = npos;
};

// One attribute of an element: its name and value in their stored form, in the tree's memory.
struct xmlAttribute {
    std::wstring_view name;
    std::wstring_view value;
    xmlAttributePlace place;
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
    std::wstring_view GetAttributeName(std::size_t i) const { return attributes[i].name; }
    std::wstring_view GetAttributeValue(std::size_t i) const { return attributes[i].value; }
    xmlAttributePlace GetAttributePlace(std::size_t i) const { return attributes[i].place; }
    // Index of the element's "<" in the decoded text.
    std::size_t GetOffset() const { return offset; }

    // Copies `text` into the tree's memory as the name. Both are defined below.
    void SetName(std::wstring_view text);
    // Takes text that already lies in the tree's memory, as it is, as the name.
    void SetNameInTree(std::wstring_view text) { name = text; }
    // For trees built by hand: stores the name with A-Z lower-cased and the value with each
    // backslash-quote as a quote; each addition copies the element's attributes.
    void AddAttribute(std::wstring_view attrName, std::wstring_view value,
                      const xmlAttributePlace& place = {});
    void SetOffset(std::size_t at) { offset = at; }
    // Room in this tree's memory for `n` characters, to copy a name or value straight into.
    wchar_t* Room(std::size_t n);
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
// `kUnescape` each backslash-quote made a quote (values). Writes the form of the `size`
// characters at `in` to `out`, which may be `in`, and returns how many it wrote.
template <bool kLower, bool kUnescape>
std::size_t StoredForm(const wchar_t* in, std::size_t size, wchar_t* out) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < size; ++i) {
        wchar_t c = in[i];
        if (kLower && c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c + 32);
        }
        if (!kUnescape || c != L'\\' || i + 1 == size || in[i + 1] != L'"') {
            out[n++] = c;
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
    all.push_back({{room, n}, {room + n, v}, place});
    SetAttributes(all.data(), all.size());
}

// Owns one tree: its root element and everything below it, and the text it was read from,
// which names and values that need no change of form share instead of copying.
class xmlTree {
public:
    // `sizeHint`: about how many characters of text the tree is built from.
    explicit xmlTree(std::size_t sizeHint = 0);
    xmlTree(const xmlTree&) = delete;
    xmlTree& operator=(const xmlTree&) = delete;

    xmlElement& Root() const { return *root; }
    // Room for the text of `n` characters the tree is read from, in the tree's memory.
    wchar_t* TextRoom(std::size_t n) { return root->Room(n); }
    // The decoded text the tree was read from; offsets and places index it.
    std::wstring_view Text() const { return text; }
    void SetText(std::wstring_view inTree) { text = inTree; }
    // Index of the root's own end tag in the decoded text; npos when the text ends before it.
    std::size_t RootEndTag() const { return rootEndTag; }
    void SetRootEndTag(std::size_t at) { rootEndTag = at; }

private:
    Arena arena;
    xmlElement* root;
    std::size_t rootEndTag = std::wstring_view::npos;
    std::wstring_view text;
};

// The first direct child named exactly `name`, or none; none also for no element.
xmlElement* FindChild(const xmlElement* element, std::wstring_view name);

// A-Z become a-z; every other character stays as it is.
std::wstring LowerAsciiLetters(std::wstring_view text);
