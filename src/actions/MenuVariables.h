// Paths, parameters and registry names take variables: %MENUDIR%, %MENUDRIVE% and the
// environment of the menu's process.
#pragma once

#include <optional>
#include <string>

#include "actions/ActionServices.h"

// Returns the running program's folder without a trailing backslash, which "makeabsolute"
// joins paths to ("E:" for a program in the root of E:).
std::wstring MenuFolder(const std::wstring& programPath);

// Returns the running program's drive: "E:", or "\\server\share" for a program on a network
// share, with the prefix of a "\\?\" path ("\\?\E:", "\\?\UNC\server\share"); empty for a
// path with neither.
std::wstring MenuDrive(const std::wstring& programPath);

// Replaces %MENUDIR%, %MENUDRIVE% and every %NAME% the process environment holds in `text`,
// comparing names without regard to case, as the system expands environment strings: in one
// pass from the left, inserted values never expanded again. A %NAME% that is neither stays
// exactly as written, and its closing '%' may open the next name. With `boxes`, %CHECK:id%
// becomes "1" for the ticked check box of that id and "0" for an unticked one.
std::wstring ExpandMenuVariables(const std::wstring& text, ISystemServices& system,
                                 IMenuDialog* boxes = nullptr);
// Says whether `text` names a check box's state (%CHECK:id%, "CHECK" in any letter case).
bool NamesCheckState(const std::wstring& text);
