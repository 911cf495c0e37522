// The in-place attribute edit's promise, judged by reading the files as the menu does: the
// new bytes read as the old tree with exactly the one attribute set to the new value (added
// after the element's last one when it had none); the bytes change only between the value's
// quotes, or by an insertion inside the element's start tag; and an edit back to the old
// value gives the old bytes exactly where they are what the edit writes for that value.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "TreeText.h"
#include "config/AttributeEdit.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

// Names and values an edit may bring, the troublesome ones included.
inline const std::vector<std::wstring> kEditNames = {
    L"caption", L"Left", L"width", L"currentval", L"id", L"type", L"", L"a b", L"a=b", L"x/"};
inline const std::vector<std::wstring> kEditValues = {
    L"",     L"42",    L"Gr\u00fc\u00dfe", L"a \"b\" c",        L"x>y",
    L"a\\",  L" lead", L"trail ",          L"two\nlines",       L"cr\rhere",
    L"\\\"", L"a<b?c", L"&amp;",           L"\uFFFD\U0001F600", std::wstring(L"nul\0x", 5),
    L"\x1A", L"/>",    L"a = \"b\" c"};

// Elements in document order.
inline std::vector<const xmlElement*> ElementsInOrder(const xmlElement& root) {
    std::vector<const xmlElement*> order;
    for (std::vector<const xmlElement*> open{&root}; !open.empty();) {
        const xmlElement* e = open.back();
        open.pop_back();
        order.push_back(e);
        for (std::size_t c = e->GetChildCount(); c > 0; --c) {
            open.push_back(e->GetChild(c - 1));
        }
    }
    return order;
}

// TreeText of `e`, with the first attribute of `target` named `name` (A-Z lowered) set to
// `value`, or added after its last one.
inline std::string EditedTreeText(const xmlElement& e, const xmlElement* target,
                                  std::wstring_view name, std::wstring_view value) {
    const std::wstring key = LowerAsciiLetters(name);
    std::string out = EncodeUtf8(e.GetName());
    bool set = &e != target;
    std::string attributes;
    for (std::size_t i = 0; i < e.GetAttributeCount(); ++i) {
        const bool edited = !set && e.GetAttributeName(i) == key;
        set = set || edited;
        attributes += (i ? ";" : "") + EncodeUtf8(e.GetAttributeName(i)) + "=" +
                      EncodeUtf8(edited ? value : e.GetAttributeValue(i));
    }
    if (!set) {
        attributes += (attributes.empty() ? "" : ";") + EncodeUtf8(key) + "=" + EncodeUtf8(value);
    }
    out += attributes.empty() ? "" : "{" + attributes + "}";
    if (e.GetChildCount() > 0) {
        out += '(';
        for (std::size_t i = 0; i < e.GetChildCount(); ++i) {
            out += (i ? " " : "") + EditedTreeText(*e.GetChild(i), target, name, value);
        }
        out += ')';
    }
    return out;
}

// Index in `bytes` of the byte that the n-th `mark` of the decoded text came from: an ASCII
// character always decodes from its own byte, and line ends never touch it.
inline std::size_t MarkByte(std::string_view bytes, std::wstring_view text, std::size_t at) {
    if (text[at] >= 0x80) {
        return 0; // no mark (a root without "<"): the check allows any place
    }
    const char mark = static_cast<char>(text[at]);
    std::size_t i = bytes.find(mark);
    for (std::size_t k = 0; k < at; ++k) {
        if (text[k] == text[at]) {
            i = bytes.find(mark, i + 1);
        }
    }
    return i;
}

struct EditOutcome {
    bool written = false;
    bool exactlyBack = false; // the edit back gave the old bytes
};

// The promise for setting `name` of `target`, element `index` in document order of `old`,
// which was read from `before`, to `value`.
inline std::string EditFault(std::string_view before, const xmlTree* old, const xmlElement& target,
                             std::size_t index, std::wstring_view name, std::wstring_view value,
                             EditOutcome& outcome) {
    const EditResult edit = EditAttribute(before, *old, target, name, value);
    if (!edit.bytes) {
        return edit.refusal == EditRefusal::None ? "refused without a reason" : "";
    }
    outcome.written = true;
    const std::string& after = *edit.bytes;
    std::unique_ptr<xmlTree> now;
    try {
        now = ParseConfigBytes(after);
    } catch (const xmlError& e) {
        return std::string("the new bytes cannot be read: ") + e.what();
    }
    if (TreeText(now->Root()) != EditedTreeText(old->Root(), &target, name, value)) {
        return "the new bytes read as " + TreeText(now->Root());
    }
    // The bytes outside the changed stretch are the old ones, and it lies where it may.
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::wstring key = LowerAsciiLetters(name);
    std::size_t attribute = 0;
    while (attribute < target.GetAttributeCount() && target.GetAttributeName(attribute) != key) {
        ++attribute;
    }
    const std::wstring_view text = old->Text();
    const bool existed = attribute < target.GetAttributeCount();
    std::size_t first = 0;
    std::size_t last = 0;
    if (existed) {
        first = MarkByte(before, text, target.GetAttributePlace(attribute).openQuote) + 1;
        last = MarkByte(before, text, target.GetAttributePlace(attribute).closeQuote);
    } else {
        first = MarkByte(before, text, target.GetOffset()) + 1;
        last = MarkByte(before, text, text.find(L'>', target.GetOffset()));
    }
    if (after != before && (prefix < first || before.size() - suffix > last ||
                            (!existed && prefix + suffix != before.size()))) {
        return "bytes changed outside the value's place";
    }
    if (!existed || after == before) {
        return {};
    }
    // The edit back, on the new bytes' own tree.
    const std::wstring oldValue(target.GetAttributeValue(attribute));
    const EditResult back =
        EditAttribute(after, *now, *ElementsInOrder(now->Root())[index], name, oldValue);
    if (back.bytes && TreeText(ParseConfigBytes(*back.bytes)->Root()) != TreeText(old->Root())) {
        return "the edit back reads differently";
    }
    // Where the old value's bytes (white space around it aside) are plain UTF-8 without line
    // ends or backslashes, the edit writes them just so: the edit back restores every byte.
    // Only an empty value in between loses where they stood within white space.
    std::string_view written(before.data() + first, last - first);
    const std::size_t lead = written.find_first_not_of(" \t\n\v\f\r");
    written = lead == std::string_view::npos ? "" : written.substr(lead);
    written = written.substr(0, written.find_last_not_of(" \t\n\v\f\r") + 1);
    const bool plain = written.find_first_of(std::string_view("\r\n\\\0", 4)) == written.npos &&
                       EncodeUtf8(DecodeUtf8(written)) == written &&
                       TrimWhiteSpace(DecodeUtf8(written)).size() == DecodeUtf8(written).size() &&
                       (!value.empty() || written.size() == last - first);
    if (plain && back.bytes != before) {
        return back.bytes ? "the edit back left other bytes" : "the edit back was refused";
    }
    outcome.exactlyBack = back.bytes == before;
    return {};
}

// What breaks the promise for one edit of `before`, or empty text when it holds. The picks
// choose, cyclically: the element in document order; the name among the element's own
// attributes' names (twice as often) and kEditNames; the value among kEditValues (odd picks) and
// the values of the element's attributes. Bytes the menu cannot read have no tree to edit and
// promise nothing.
inline std::string AttributeEditFault(std::string_view before, unsigned elementPick,
                                      unsigned namePick, unsigned valuePick, EditOutcome& outcome) {
    std::unique_ptr<xmlTree> old;
    try {
        old = ParseConfigBytes(before);
    } catch (const xmlError&) {
        return {};
    }
    const std::vector<const xmlElement*> elements = ElementsInOrder(old->Root());
    const std::size_t index = elementPick % elements.size();
    const xmlElement& target = *elements[index];
    const std::size_t count = target.GetAttributeCount();
    const std::size_t n = namePick % (2 * count + kEditNames.size());
    const std::wstring name(n < 2 * count ? target.GetAttributeName(n / 2)
                                          : kEditNames[n - 2 * count]);
    const std::wstring value((valuePick & 1) != 0 || count == 0
                                 ? kEditValues[valuePick / 2 % kEditValues.size()]
                                 : target.GetAttributeValue(valuePick / 2 % count));
    const std::string fault = EditFault(before, old.get(), target, index, name, value, outcome);
    return fault.empty() ? fault
                         : fault + " (name \"" + EncodeUtf8(name) + "\", value \"" +
                               EncodeUtf8(value) + "\")";
}
