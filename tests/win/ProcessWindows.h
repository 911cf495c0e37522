// For tests that start navora.exe and look at its windows from outside.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

// The build tree's top folder (the tests live one below it, beside navora.exe's folder).
inline std::filesystem::path BuildDirectory() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().parent_path();
}

struct ProcessWindowSearch {
    DWORD pid;
    const std::wstring& title;
    HWND found;
};

inline BOOL CALLBACK VisitProcessWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ProcessWindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t text[256] = L"";
    GetWindowTextW(hwnd, text, 256);
    if (owner == search->pid && search->title == text && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The visible top-level window of process `pid` with that title, waiting up to 20 s for it.
inline HWND WaitForProcessWindow(DWORD pid, const std::wstring& title) {
    ProcessWindowSearch search{pid, title, nullptr};
    for (int i = 0; i < 400 && search.found == nullptr; ++i) {
        EnumWindows(VisitProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            Sleep(50);
        }
    }
    return search.found;
}
