// For tests that start navora.exe in a temp folder of their own and look at its windows
// from outside: the folder, the process, its windows and message boxes, and real input.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The build tree's top folder (the tests live one below it, beside navora.exe's folder).
inline std::filesystem::path BuildDirectory() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().parent_path();
}

// The menu under test: this build's navora.exe, or the one the environment's NAVORA_MENU
// names (the shipped 32-bit build's, when these suites run under scripts/wine32).
inline std::filesystem::path MenuProgram() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"NAVORA_MENU", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        return std::filesystem::path(path).make_preferred();
    }
    return BuildDirectory() / "navora.exe";
}

// Asks `done` every `step` milliseconds, for up to `milliseconds`; whether it came true.
template <typename Done> bool WaitUntil(Done done, int milliseconds = 10000, int step = 50) {
    for (int waited = 0;; waited += step) {
        if (done()) {
            return true;
        }
        if (waited >= milliseconds) {
            return false;
        }
        Sleep(static_cast<DWORD>(step));
    }
}

// The whole file; empty when it cannot be read.
inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A folder of its own in the temp folder, named `name` and a number, removed with the object.
class TempFolder {
public:
    explicit TempFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / (name + "-" + std::to_string(++count_))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }
    void Write(const std::filesystem::path& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::filesystem::path& name) const { return FileBytes(path_ / name); }

private:
    static inline int count_ = 0;
    std::filesystem::path path_;
};

// Puts the real pointer in the screen's bottom-right corner, clear of the windows the tests
// open, and lets go of a mouse button or modifier key left down: a window never starts under
// the pointer or the keys an earlier test (or an earlier run) left behind.
inline void ParkPointer() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    if (GetAsyncKeyState(VK_LBUTTON) < 0) {
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }
    for (const WORD key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        if (GetAsyncKeyState(key) < 0) {
            INPUT up{};
            up.type = INPUT_KEYBOARD;
            up.ki.wVk = key;
            up.ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(1, &up, sizeof up);
        }
    }
    Sleep(100);
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
    WaitUntil(
        [&] {
            EnumWindows(VisitProcessWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        seconds * 1000);
    return search.found;
}

// The visible dialog boxes (message boxes among them) of process `pid`, with their titles.
inline std::vector<std::pair<HWND, std::wstring>> VisibleBoxesOf(DWORD pid) {
    std::vector<std::pair<HWND, std::wstring>> boxes;
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(box, &owner);
        wchar_t title[256] = L"";
        GetWindowTextW(box, title, 256);
        if (owner == pid && IsWindowVisible(box)) {
            boxes.emplace_back(box, title);
        }
    }
    return boxes;
}

// The text of a message box, which is then closed by its OK button; none without a box.
inline std::optional<std::wstring> ReadAndCloseBox(HWND box) {
    if (box == nullptr) {
        return std::nullopt;
    }
    const HWND label = GetDlgItem(box, 0xFFFF);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    Sleep(200);
    return text;
}

// The menu under test (or a copy of it at `program`) started with `args` in folder
// `dir`, the pointer parked first; ended and released with the object if it is still running.
class MenuProcess {
public:
    MenuProcess(const std::wstring& args, const std::filesystem::path& dir,
                const std::filesystem::path& program = MenuProgram()) {
        ParkPointer();
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
    HANDLE Handle() const { return process_.hProcess; }
    HWND Window(const std::wstring& title, int seconds = 20) const {
        return WaitForProcessWindow(process_.dwProcessId, title, seconds);
    }
    // The text of its message box with that title, which is then closed; none without one.
    std::optional<std::wstring> BoxText(const std::wstring& title, int seconds = 20) const {
        return ReadAndCloseBox(Window(title, seconds));
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

// A fixture for one menu at a time: a temp folder for its files, the process started from
// it, and its window once shown. Each new folder ends the run before it.
class MenuTest : public testing::Test {
protected:
    const std::filesystem::path& NewFolder(const std::string& name) {
        Stop();
        folder_.emplace(name);
        return folder_->Path();
    }
    // navora.exe (or its copy `program`) started with `args` in `dir`; its window titled
    // `title` becomes `dialog_`, in the foreground for the keys, given `settle` milliseconds
    // to paint.
    void Launch(const std::wstring& args, const std::filesystem::path& dir,
                const std::wstring& title, const std::filesystem::path& program = MenuProgram(),
                DWORD settle = 300) {
        process_ = std::make_unique<MenuProcess>(args, dir, program);
        ASSERT_TRUE(process_->Started());
        dialog_ = process_->Window(title);
        ASSERT_NE(dialog_, nullptr);
        SetForegroundWindow(dialog_);
        Sleep(settle);
    }
    // Ends the menu, then removes its folder.
    void Stop() {
        process_.reset();
        dialog_ = nullptr;
        folder_.reset();
    }
    void TearDown() override { Stop(); }

    std::optional<TempFolder> folder_;
    std::unique_ptr<MenuProcess> process_;
    HWND dialog_ = nullptr;
};

// Moves the real pointer to a point of a window's client area, then waits `settle` ms.
inline void PointAt(HWND window, int x, int y, DWORD settle = 300) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    Sleep(settle);
}

// Presses or releases the real left mouse button where the pointer is.
inline void MouseButton(bool down, DWORD settle = 300) {
    mouse_event(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Sleep(settle);
}

// A real key stroke, press and release, to the window that has the keyboard.
inline void Key(WORD key, DWORD settle = 300) {
    INPUT strokes[2]{};
    for (INPUT& stroke : strokes) {
        stroke.type = INPUT_KEYBOARD;
        stroke.ki.wVk = key;
    }
    strokes[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, strokes, sizeof(INPUT));
    Sleep(settle);
}

// The screen's pixel at a point of a window's client area.
inline COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    const HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}
