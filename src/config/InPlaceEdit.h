// What the rewrites of the configuration file in place share: which values can be written
// without touching anything else, and the check that new bytes read as planned.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "xml/xmlElement.h"

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
