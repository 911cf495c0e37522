// File steps the proof and design tools share; the menu itself uses none of them.
#pragma once

#include <windows.h>

#include <string>

#include "win/Handles.h"

// The full path of `path`, relative to the current folder; a path of any length.
inline std::wstring FullPath(const wchar_t* path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD n = GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n > full.size()) {
        full.resize(n);
        n = GetFullPathNameW(path, n, full.data(), nullptr);
    }
    full.resize(n);
    return full;
}

// Writes `bytes` as the whole of the file at `path`; false when any step fails.
inline bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const bool ok = file &&
                    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr) != 0 &&
                    written == bytes.size();
    return file.close() && ok;
}
