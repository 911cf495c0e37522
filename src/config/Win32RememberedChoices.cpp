#include "config/Win32RememberedChoices.h"

#include <windows.h>

namespace {

std::wstring ChoicesKey(const std::wstring& menuId) {
    return L"Software\\Navora\\" + menuId;
}

} // namespace

std::optional<bool> ReadRememberedChoice(const std::wstring& menuId, const std::wstring& boxId) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ChoicesKey(menuId).c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG status = RegQueryValueExW(key, boxId.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value || value > 1) {
        return std::nullopt; // a value that cannot be read is ignored
    }
    return value == 1;
}

bool StoreRememberedChoice(const std::wstring& menuId, const std::wstring& boxId, bool checked) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, ChoicesKey(menuId).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD value = checked ? 1 : 0;
    const LONG status = RegSetValueExW(key, boxId.c_str(), 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}
