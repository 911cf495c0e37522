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
// becomes "1" for the ticked check box of that id and "0" for an unticked one. A text that its
// values make longer than kMaxExpandedText is cut one character beyond it: Windows takes no
// longer path, command line or key, so such a step fails, and a click never costs more than this.
inline constexpr std::size_t kMaxExpandedText = 32767;
std::wstring ExpandMenuVariables(const std::wstring& text, ISystemServices& system,
                                 IMenuDialog* boxes = nullptr);
// Expands a step's path; with makeabsolute, then joins it to the program's folder.
std::wstring ExpandMenuPath(const std::wstring& path, bool makeAbsolute, ISystemServices& system,
                            IMenuDialog* boxes = nullptr);
