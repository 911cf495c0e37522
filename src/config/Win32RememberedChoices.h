// A check box with remember="user" keeps its state for the user under
// HKEY_CURRENT_USER\Software\Navora\<menuid>, a DWORD 1 or 0 named by the box's id: on any
// medium, read-only ones included.
#pragma once

#include <optional>
#include <string>

// Returns the stored state; none when there is none, or one that is no DWORD 0 or 1.
std::optional<bool> ReadRememberedChoice(const std::wstring& menuId, const std::wstring& boxId);
// Stores the state; false when the registry refused it.
bool StoreRememberedChoice(const std::wstring& menuId, const std::wstring& boxId, bool checked);
