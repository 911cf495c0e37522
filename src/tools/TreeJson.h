// navora-check prints the element tree as one JSON document.
#pragma once

#include <string>
#include <string_view>

class xmlElement;

// Each element is {"name": ..., "attributes": [[name, value], ...], "children": [...]},
// attribute names as stored. UTF-8, no insignificant white space, no newline at the end.
std::string TreeToJson(const xmlElement& root);

// Returns the text as a JSON string literal, quotes included.
std::string JsonString(std::wstring_view text);
