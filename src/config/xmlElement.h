// The configuration's element tree. Every element, name and value of one tree
// lives in the tree's arena: building is a bump of a pointer, and the whole tree
// goes at once with its xmlTree, whatever its depth.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "config/Arena.h"

// Where an attribute stands in the decoded text: its name (trimmed) and the
// double quotes around its value. npos where the reader took it from text
// before the element's own "<" (text that several elements may read).
struct xmlAttributePlace {
    static constexpr std::size_t npos = std::wstring_view::npos;
    std::size_t name = npos;
    std::size_t openQuote = npos;
    std::size_t closeQuote = npos;
};

class xmlElement {
public:
    explicit xmlElement(Arena* arena)
        : attributes(ArenaAllocator<Attribute>(arena)),
          children(ArenaAllocator<xmlElement*>(arena)) {}
    xmlElement(const xmlElement&) = delete;
    xmlElement& operator=(const xmlElement&) = delete;

    std::wstring_view GetName() const { return name; }
    // Value of the first attribute whose name equals `attrName` with A-Z lower-cased; else empty.
    std::wstring GetAttribute(std::wstring_view attrName) const;
    std::size_t GetChildCount() const { return children.size(); }
    xmlElement* GetChild(std::size_t i) const { return children[i]; }

    std::size_t GetAttributeCount() const { return attributes.size(); }
    std::wstring_view GetAttributeName(std::size_t i) const { return attributes[i].name; }
    std::wstring_view GetAttributeValue(std::size_t i) const { return attributes[i].value; }
    const xmlAttributePlace& GetAttributePlace(std::size_t i) const { return attributes[i].place; }
    // Index of the element's "<" in the decoded text.
    std::size_t GetOffset() const { return offset; }

    void SetName(std::wstring_view text);
    // Stores the name with A-Z lower-cased and the value with each backslash-quote as a quote.
    void AddAttribute(std::wstring_view attrName, std::wstring_view value,
                      const xmlAttributePlace& place = {});
    void SetOffset(std::size_t at) { offset = at; }
    // Room in this tree's memory for `n` characters, to decode a name or value straight into.
    wchar_t* Room(std::size_t n);
    // SetName and AddAttribute for text that already lies in Room, in its stored form.
    void SetNameInRoom(std::wstring_view text) { name = text; }
    void AddAttributeInRoom(std::wstring_view attrName, std::wstring_view value,
                            const xmlAttributePlace& place) {
        if (attributes.capacity() == attributes.size() && attributes.size() < 4) {
            attributes.reserve(4); // attributes from text before the tag: no regrowth for a few
        }
        attributes.push_back({attrName, value, place});
    }
    // Room for `n` attributes in all, made before the first is added.
    void ReserveAttributes(std::size_t n) { attributes.reserve(n); }
    // Appends a new element without name, attributes or children, owned like this one.
    xmlElement& AddChild();

private:
    struct Attribute {
        std::wstring_view name;
        std::wstring_view value;
        xmlAttributePlace place;
    };

    std::wstring_view Keep(std::wstring_view text, bool lowerAscii, bool unescapeQuotes);

    std::wstring_view name;
    std::size_t offset = 0;
    std::vector<Attribute, ArenaAllocator<Attribute>> attributes;
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

// Owns one tree: its root element and everything below it.
class xmlTree {
public:
    // `sizeHint`: about how many characters of text the tree is built from.
    explicit xmlTree(std::size_t sizeHint = 0);
    xmlTree(const xmlTree&) = delete;
    xmlTree& operator=(const xmlTree&) = delete;

    xmlElement& Root() const { return *root; }
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
