// The design view's changes to a control's bytes in the author's file: one attribute set in
// place, a position added, a push button added, a control copied or removed. Each gives the
// new bytes only when they read as the old tree with exactly that change.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "design/EditModel.h"

class xmlElement;
class xmlTree;

// The control's element, or none.
const xmlElement* ControlElement(const xmlTree& tree, const ControlRef& control);
// The control's child element `part` ("ButtonPosition", "ButtonLayout"), or none; an empty
// `part` names the control's element itself.
const xmlElement* ControlPart(const xmlTree& tree, const ControlRef& control,
                              std::wstring_view part);

// What the menu builds of each control element, in the file's pixels: the quit button first,
// then the pages' controls in order.
std::vector<DesignControl> ReadDesignControls(const xmlTree& tree);

// The size a new push button gets: ButtonConfig's, else 100 by 30.
DesignRect NewButtonSize(const xmlTree& tree);

// New bytes, or the reason they cannot be made without changing anything else.
struct ControlEdit {
    std::optional<std::string> bytes;
    std::wstring refusal;
};

// The file's bytes with attribute `name` of the control's `part` set to `value`, through the
// configuration's in-place attribute edit. A part the control lacks is added as its first
// child, with ButtonConfig's values of what the part decides as a whole.
ControlEdit SetControlAttribute(std::string_view bytes, const ControlRef& control,
                                std::wstring_view part, std::wstring_view name,
                                std::wstring_view value);

// The file's bytes with attribute `name` of the menu's "General" element set to `value`.
ControlEdit SetMenuAttribute(std::string_view bytes, std::wstring_view name,
                             std::wstring_view value);

// A `<ButtonPosition left="…" top="…"/>` as the control's first child, indented like the
// next one.
ControlEdit AddControlPosition(std::string_view bytes, const ControlRef& control, long left,
                               long top);

// A push button captioned "Button" at `r` after the page's last control, laid out like it.
ControlEdit AddPushButton(std::string_view bytes, int page, const DesignRect& r);

// The control's element bytes again right after it, on a line of their own when it stands on
// its own lines. The copy is the page's control at the next index.
ControlEdit CopyControl(std::string_view bytes, const ControlRef& control);

// The file without the control's element, and without its lines when it stands on its own.
ControlEdit RemoveControl(std::string_view bytes, const ControlRef& control);
