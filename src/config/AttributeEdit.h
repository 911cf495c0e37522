// Setting one attribute of the configuration file in place, for the design view: the new
// bytes differ from the old only where the value stands, or where a missing attribute is
// added, so the author's indentation, line ends, order, spacing and encoding stay.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/CheckState.h"
#include "xml/xmlElement.h"

// Why an edit is refused: the file cannot take it without changing something else.
enum class EditRefusal {
    None,
    UnreadableFile,      // the menu cannot read the file (or the tree is not its tree)
    NotInPlace,          // the value is read from text outside its element's start tag, or
                         // a later name reaches back into it; or the start tag has no end
    BadName,             // a new attribute's name would not read back as itself
    UnwritableCharacter, // NUL, U+001A, carriage return, a lone surrogate, or a new U+FFFD
    GreaterThan,         // a value cannot hold ">": it would end the tag
    TrailingBackslash,   // it would turn the closing quote into a quote of the value
    EdgeWhiteSpace,      // reading trims white space at both ends of a value
    ReadsDifferently,    // read back, the new bytes give more than the one change
    FileChanged,         // another program changed the file since it was read
    NotWritten,          // the file could not be written (read-only, a link, a failure)
};

// A sentence saying why, for the status line.
const wchar_t* EditRefusalText(EditRefusal refusal);

// The file's new bytes, or why there are none.
struct EditResult {
    std::optional<std::string> bytes;
    EditRefusal refusal = EditRefusal::None;
};

// `fileBytes` with attribute `name` of `element` set to `value`. `element` belongs to
// `tree`, which ParseConfigBytes made of `fileBytes`. The first attribute the reader
// reports under that name gets the value: the bytes of its value, without the white
// space around it, are replaced by the new value encoded as the file is (UTF-8, each
// double quote after a backslash, a line feed as the file's first line end); the units the
// old and new value share at either end keep their bytes, and a U+FFFD between is refused
// (it stands for bytes that are not UTF-8, which the edit cannot know). Without such
// an attribute, " name=\"value\"" is added at the end of the start tag, before "/>" or ">"
// and the white space before them. A value the attribute holds already leaves the bytes as
// they are. The result is read back: unless it reads as the old tree with exactly that one
// value changed or added, the edit is refused.
EditResult EditAttribute(std::string_view fileBytes, const xmlTree& tree, const xmlElement& element,
                         std::wstring_view name, std::wstring_view value);

// Writes that edit into the file at `configPath`, which must still hold `fileBytes`, with
// the check-box write-back's safety: a new temporary file beside it replaces it in one
// step, only while it holds what was read; on any refusal the file keeps its bytes.
EditRefusal WriteAttributeEdit(const std::wstring& configPath, std::string_view fileBytes,
                               const xmlTree& tree, const xmlElement& element,
                               std::wstring_view name, std::wstring_view value,
                               CheckStateFiles& files);
