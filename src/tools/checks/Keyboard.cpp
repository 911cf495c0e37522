// Keyboard: which controls the Tab key reaches.
#include "tools/checks/Checks.h"

namespace checks {

void CheckTabIndex(CheckContext& c, const ControlSettings& control, std::size_t at,
                   const ControlPlace& place) {
    if (place.page >= 0 && control.tabIndex >= 0) {
        if (const auto [first, isNew] = c.tabStops.emplace(control.tabIndex, at); !isNew) {
            c.Error(at, "tab-index",
                    "tabindex " + std::to_string(control.tabIndex) +
                        " is used twice on this page: the Tab key never reaches this control",
                    {{first->second, "the first control with this tabindex"}});
        }
    }
    if (place.page < 0 && control.tabIndex != -1) {
        c.quitTabIndex = control.tabIndex;
    }
}

bool QuitUnreachedOnPage(const CheckContext& c) {
    return c.quitTabIndex && !c.tabStops.empty() && *c.quitTabIndex >= c.tabStops.begin()->first;
}

void CheckQuitTabIndex(CheckContext& c, const xmlElement* quit, const std::vector<int>& pages) {
    if (pages.empty()) {
        return;
    }
    std::string list;
    for (const int p : pages) {
        list += (list.empty() ? "" : ", ") + std::to_string(p);
    }
    c.Warning(quit->GetOffset(), "tab-index",
              "the quit button's tabindex " + std::to_string(*c.quitTabIndex) +
                  " is not lower than every other on page " + list +
                  ": the Tab key reaches it only as the first stop, so never there; give "
                  "it a tabindex lower than all others, e.g. 0");
}

} // namespace checks
