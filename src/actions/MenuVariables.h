// Variables in paths, parameters and registry names: %MENUDIR%, %MENUDRIVE% and the
// environment of the menu's process.
#pragma once

#include <optional>
#include <string>

#include "actions/ActionServices.h"

// The folder of the running program without a trailing backslash: the folder
// "makeabsolute" joins paths to ("E:" for a program in the root of E:).
std::wstring MenuFolder(const std::wstring& programPath);

// The drive of the running program: "E:", or "\\server\share" for a program on a network
// share, with the prefix of a "\\?\" path ("\\?\E:", "\\?\UNC\server\share"); empty for a
// path with neither.
std::wstring MenuDrive(const std::wstring& programPath);

// `text` with %MENUDIR%, %MENUDRIVE% and every %NAME% the process environment holds
// replaced, names compared without regard to case, as the system expands environment
// strings: in one pass from the left, inserted values never expanded again. A %NAME% that
// is neither stays exactly as written, and its closing '%' may open the next name.
std::wstring ExpandMenuVariables(const std::wstring& text, ISystemServices& system);
