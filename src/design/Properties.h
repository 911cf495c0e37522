// The properties of one control, as the design view's properties window lists them: every
// attribute the menu reads for it and the value in effect and where it comes from, with the
// texts its dialogs give. Its writes are the design model's (DesignModel::SetProperty).
// Platform-free.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/Vocabulary.h"
#include "design/EditModel.h"

class xmlTree;

// Where the value in effect comes from.
enum class PropertySource {
    Own,          // the control's own element
    ButtonConfig, // the element of that name in "ButtonConfig"
    Default,      // neither: the menu's default
};

struct Property {
    std::wstring_view part; // the control's child element; empty for the control's own
    std::wstring_view name; // as the vocabulary writes it
    ValueKind kind;
    std::wstring value; // the value in effect, as written where it comes from
    PropertySource source;
};

// The properties of the control `control` of `tree` (ParseConfigBytes): for the control's own
// element, "ButtonPosition", "ButtonLayout", "ButtonMouseOverLayout", "Font" and
// "MouseOverFont", every attribute the menu reads there, in the vocabulary's order. None when
// the file has no such control.
std::vector<Property> ControlProperties(const xmlTree& tree, const ControlRef& control);

// The part that names the menu's own "General" element, not a child of a control.
inline constexpr std::wstring_view kMenuPart = L"General";

// The properties of the menu's "General" element, listed while no control is selected; none
// when the file has no such element.
std::vector<Property> MenuProperties(const xmlTree& tree);

// The words for a source: "own element", "ButtonConfig", "default".
const wchar_t* SourceText(PropertySource source);

// A path the file names a picture by: relative to the menu's folder where the picture lies
// inside it ("\" between the parts), else as chosen. Both absolute, with "\" or "/".
std::wstring PathFromMenuFolder(std::wstring_view folder, std::wstring_view chosen);

// A colour as the file writes it: "R G B".
std::wstring ColourText(unsigned red, unsigned green, unsigned blue);

// A font as "font" writes it: the face, then "Bold", "Italic", "Underline" as chosen. None
// for a face with a space, which the menu would cut there.
std::optional<std::wstring> FontText(std::wstring_view face, bool bold, bool italic,
                                     bool underline);
