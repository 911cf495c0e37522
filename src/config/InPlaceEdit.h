// What the rewrites of the configuration file in place share: where its bytes stand, which
// values can be written without touching anything else, and the check that new bytes read
// as planned.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "xml/xmlElement.h"

// For each unit of the decoded text of a file's bytes, the index of the byte where its
// sequence starts (for a line feed read from CR LF, the CR), and one more entry: where
// decoding stopped.
std::vector<std::size_t> FileByteOffsets(std::string_view fileBytes);

// Whether the value of attribute i can be written in place: it lies in the element's own
// start tag, and no later attribute's name reaches back into it (without a space after the
// value, the next name would hold it, and writing the value would rename that attribute).
bool ValueInPlace(const xmlElement& element, std::size_t i);

// One value to write: attribute `attribute` of `element`, or, when `attribute` is the
// element's attribute count, a new attribute `name` after its last one.
struct ValueEdit {
    const xmlElement* element;
    std::size_t attribute;
    std::wstring_view name;
    std::wstring_view value;
};

// Whether `after` reads as `before` but for the edits, whose values read as written. Of
// several edits of one value, the last given counts.
bool ReadsAsEdited(const xmlElement& before, const xmlElement& after,
                   const std::vector<ValueEdit>& edits);

// `items` ordered by `before`, the order given kept among equals: insertion sort, as a menu
// writes few values at once.
template <typename T, typename Before> void SortStable(std::vector<T>& items, Before before) {
    for (std::size_t i = 1; i < items.size(); ++i) {
        T item = items[i];
        std::size_t j = i;
        for (; j > 0 && before(item, items[j - 1]); --j) {
            items[j] = items[j - 1];
        }
        items[j] = item;
    }
}
