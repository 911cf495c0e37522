// Check boxes: where the menu records each box's state.
#include "config/CheckState.h"
#include "tools/checks/Checks.h"

namespace checks {

void CheckCheckBoxId(CheckContext& c, const ControlSettings& control, std::size_t at) {
    if (control.id.empty()) {
        c.Warning(at, "checkbox-id",
                  "this check box has no id: its state is recorded only in a file with "
                  "exactly one currentval");
    } else if (const auto [first, isNew] = c.checkIds.emplace(control.id, at); !isNew) {
        c.Error(at, "checkbox-id",
                "another check box has the id " + Quoted(control.id) +
                    ": the menu records both states in the first one's currentval",
                {{first->second, "the first check box with this id"}});
    }
}

// Whether the menu finds where to record a check box's state; for a box without an id,
// "checkbox-id" already says what it needs.
void CheckRecorded(CheckContext& c, const xmlElement& element, const ControlSettings& control,
                   std::size_t at) {
    if (control.id.empty() || c.tree.RootEndTag() == npos ||
        PlanCheckStates(c.bytes, {{control.id, true}})) {
        return;
    }
    const std::size_t id = FindAttributeIndex(element, L"id");
    const std::size_t current = FindAttributeIndex(element, L"currentval");
    if (id != npos && current != npos && current < id) {
        c.Error(element.GetAttributePlace(current).name, "currentval",
                "currentval stands before the id: the menu looks for it only after the id, so "
                "this check box's state is never recorded; write it after id=\"" +
                    Shown(control.id) + "\"");
    } else {
        c.Error(at, "currentval",
                "this check box has no currentval=\"...\" after its id: its state is never "
                "recorded; add currentval=\"false\" to its <ButtonLayout>");
    }
}

} // namespace checks
