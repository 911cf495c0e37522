#include <windows.h>

#include "config/FileBytes.h"

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bytes.clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got != 0) {
        bytes.append(buffer, got);
    }
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok) {
        throw FileReadError(error);
    }
    return true;
}
