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

// The visible top-level window of process `pid` with that title, waiting up to `seconds` for it
// (0: looked for once).
inline HWND WaitForProcessWindow(DWORD pid, const std::wstring& title, int seconds = 20) {
    ProcessWindowSearch search{pid, title, nullptr};
    for (int i = 0;; ++i) {
        EnumWindows(VisitProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || i >= seconds * 20) {
            return search.found;
        }
        Sleep(50);
    }
}

// navora.exe of this build (or a copy of it at `program`) started with `args` in folder
// `dir`; ended and released with the object if it is still running.
class MenuProcess {
public:
    MenuProcess(const std::wstring& args, const std::filesystem::path& dir,
                const std::filesystem::path& program = BuildDirectory() / "navora.exe") {
        std::wstring line = L"\"" + program.wstring() + L"\" " + args;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  dir.wstring().c_str(), &startup, &process_);
    }
    MenuProcess(const MenuProcess&) = delete;
    MenuProcess& operator=(const MenuProcess&) = delete;
    ~MenuProcess() {
        if (!started_) {
            return;
        }
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    HWND Window(const std::wstring& title, int seconds = 20) const {
        return WaitForProcessWindow(process_.dwProcessId, title, seconds);
    }
    // Whether the process ends within `milliseconds`.
    bool EndsWithin(DWORD milliseconds) const {
        return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
    }
    // Exit code once the process has ended; STILL_ACTIVE if it hangs.
    DWORD ExitCode(DWORD milliseconds = 20000) const {
        EndsWithin(milliseconds);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};
