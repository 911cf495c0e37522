// The design view's changes to the author's file: one attribute of a control's element set
// in place, and the new bytes written safely.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "design/EditModel.h"

class xmlElement;
class xmlTree;

// The control's element, or none.
const xmlElement* ControlElement(const xmlTree& tree, const ControlRef& control);
// The control's child element `part` ("ButtonPosition", "ButtonLayout"), or none.
const xmlElement* ControlPart(const xmlTree& tree, const ControlRef& control,
                              std::wstring_view part);

// New bytes, or the reason they cannot be made without changing anything else.
struct ControlEdit {
    std::optional<std::string> bytes;
    std::wstring refusal;
};

// The file's bytes with attribute `name` of the control's `part` set to `value`, through the
// configuration's in-place attribute edit.
ControlEdit SetControlAttribute(std::string_view bytes, const ControlRef& control,
                                std::wstring_view part, std::wstring_view name,
                                std::wstring_view value);

// Replaces the file at `path` by `bytes` with the check-box write-back's safety, only while it
// still holds `expected`. Empty on success, else the reason the file was left as it was.
std::wstring WriteDesignedBytes(const std::wstring& path, const std::string& expected,
                                const std::string& bytes);
