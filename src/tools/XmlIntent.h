// Standard XML reads the file as its author evidently meant it. navora-check lays this tree
// beside the menu's own to find where the menu reads something else.
// Lenient where the intent is plain: attributes need no white space between them,
// "\"" inside a double-quoted value is a quote and "<" a character, as the menu reads them,
// and HTML's named entities ("&uuml;") are the characters they name.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct IntentAttribute {
    std::wstring name;       // A-Z lower-cased, as the menu stores names
    std::wstring value;      // entities decoded
    std::size_t offset;      // of the name
    std::size_t valueOffset; // of the opening quote
    wchar_t quote;
    bool entity = false;       // the value held an entity or character reference
    bool backslashEnd = false; // the value ends in "\", which the menu takes as escaping the quote
    bool spaceBefore = false;  // a space (U+0020) stands before the name
};

struct IntentElement {
    std::wstring name;
    std::size_t offset; // of the "<"
    std::vector<IntentAttribute> attributes;
    std::vector<std::unique_ptr<IntentElement>> children;
};

struct IntentError {
    std::size_t offset;
    std::string what;
    // Where the value stands whose quotes the error most likely comes from, if any.
    std::optional<std::size_t> suspectValue;
};

struct IntentTree {
    std::unique_ptr<IntentElement> root;
    bool declaration = false;             // "<?xml" at the very start, after a byte order mark
    std::vector<std::size_t> comments;    // each "<!--"
    std::vector<std::size_t> doctypes;    // each "<!DOCTYPE" or other "<!"
    std::vector<std::size_t> ignoredText; // each run of text that is not white space
    std::optional<IntentError> error;     // the first place standard XML cannot read
};

IntentTree ReadIntent(std::wstring_view text);
