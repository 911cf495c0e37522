// DLLs the menu loads at run time come from the system folder by their full path, so that one
// of the same name beside the menu on a medium is never loaded in their place.
#pragma once

#include <windows.h>

// Loads `name` (such as L"shell32.dll") from the system folder; none when that fails.
HMODULE LoadSystemLibrary(const wchar_t* name);
