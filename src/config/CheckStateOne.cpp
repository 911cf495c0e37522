// The rewrite of one state, for tests and tools: the menu records its states through
// WriteCheckState(s), so this stays out of its objects.
#include "config/CheckState.h"

std::optional<std::string> RewriteCheckState(std::string_view fileBytes, std::wstring_view id,
                                             bool checked) {
    return RewriteCheckStates(fileBytes, {{std::wstring(id), checked}});
}
