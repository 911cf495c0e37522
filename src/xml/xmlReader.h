// The configuration file's own XML dialect: decoded text in, element tree out.
#pragma once

#include <cstddef>
#include <exception>
#include <memory>
#include <string_view>

#include "xml/xmlElement.h"

// Deeper nesting is rejected like malformed text, so nothing that walks the
// tree later can run out of stack.
inline constexpr std::size_t kMaxElementDepth = 1000;

// What one text may build, refused beyond like malformed text. A real menu
// stores each name and value about once and has an attribute every ten or
// more characters; but text before a tag counts for every empty element after
// it and a name reaches back to the last space, so a crafted file could build
// a tree that grows with the square of its length (80 KB: gigabytes).
// Characters of names and values stored: 4 per character of text, plus 64 K.
inline constexpr std::size_t kStoredCharsPerChar = 4;
inline constexpr std::size_t kStoredCharsSlack = 65536;
// Attributes: 1 per 2 characters of text, plus 4 K.
inline constexpr std::size_t kCharsPerAttribute = 2;
inline constexpr std::size_t kAttributesSlack = 4096;

// Text the reader cannot build a tree from. Not a std::invalid_argument: that family
// brings the library's reference-counted strings into the menu.
class xmlError : public std::exception {
public:
    // `what` is a string literal: it is kept, not copied.
    xmlError(const char* what, std::size_t offset) : what_(what), offset_(offset) {}
    const char* what() const noexcept override { return what_; }
    // Index into the decoded text where the fault lies.
    std::size_t Offset() const { return offset_; }

private:
    const char* what_;
    std::size_t offset_;
};

// Builds the element tree of a decoded configuration text. Raises xmlError
// where the text cannot be cut apart by the reader's rules.
std::unique_ptr<xmlTree> ParseXmlText(std::wstring_view text);

// The tree of a configuration file's bytes: ParseXmlText(DecodeConfigText(fileBytes)),
// offsets counting units of the decoded text.
std::unique_ptr<xmlTree> ParseConfigBytes(std::string_view fileBytes);

// Line and column (both from 1, columns in characters) of an index into decoded text.
struct TextPosition {
    std::size_t line;
    std::size_t column;
};
TextPosition PositionOf(std::wstring_view text, std::size_t offset);
