// Runs navora.exe on one configuration and reports what it did: the messages it
// showed (answered with OK), whether and when its window appeared and where,
// the processor time it used while the pointer moved over it, how it ended and the most
// memory it held at any time.
// Prints one line; asserts nothing.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

struct Found {
    DWORD pid;
    HWND message = nullptr; // a message box
    HWND window = nullptr;  // the menu
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
    auto* found = reinterpret_cast<Found*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != found->pid || !IsWindowVisible(hwnd)) {
        return TRUE;
    }
    wchar_t cls[64] = L"";
    GetClassNameW(hwnd, cls, 64);
    (std::wstring(cls) == L"#32770" && GetWindow(hwnd, GW_OWNER) != nullptr ? found->message
                                                                            : found->window) = hwnd;
    return TRUE;
}

double Seconds(const LARGE_INTEGER& from) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double ProcessorSeconds(HANDLE process) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    const auto value = [](FILETIME t) {
        return static_cast<double>(ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart);
    };
    return (value(kernel) + value(user)) / 1e7;
}

// Raises `peak` to the process's peaks so far; read while it runs, as an ended process
// may report none.
void RecordPeak(HANDLE process, PROCESS_MEMORY_COUNTERS& peak) {
    PROCESS_MEMORY_COUNTERS now{};
    now.cb = sizeof now;
    if (GetProcessMemoryInfo(process, &now, sizeof now)) {
        peak.PeakWorkingSetSize = std::max(peak.PeakWorkingSetSize, now.PeakWorkingSetSize);
        peak.PeakPagefileUsage = std::max(peak.PeakPagefileUsage, now.PeakPagefileUsage);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: hostile_run \"NAVORA_EXE ARGS\" HOVER_SECONDS\n", stderr);
        return 2;
    }
    std::wstring line = argv[1];
    const int hover = _wtoi(argv[2]);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::puts("not started");
        return 1;
    }
    std::string report;
    char text[512];
    HWND window = nullptr;
    PROCESS_MEMORY_COUNTERS peak{};
    while (window == nullptr && Seconds(start) < 180 &&
           WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) {
        RecordPeak(process.hProcess, peak);
        Found found{process.dwProcessId};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&found));
        if (found.message != nullptr) {
            wchar_t message[256] = L"";
            GetDlgItemTextW(found.message, 0xFFFF, message, 256);
            for (wchar_t& c : message) {
                c = c != 0 && c < L' ' ? L' ' : c;
            }
            std::snprintf(text, sizeof text, "message \"%ls\" at %.1f s; ", message,
                          Seconds(start));
            report += text;
            PostMessageW(found.message, WM_COMMAND, IDOK, 0);
            Sleep(200);
        } else {
            window = found.window;
        }
    }
    if (window != nullptr) {
        RECT r, client;
        GetWindowRect(window, &r);
        GetClientRect(window, &client);
        std::snprintf(text, sizeof text, "window at %.1f s: %ldx%ld at %ld,%ld (client %ldx%ld); ",
                      Seconds(start), r.right - r.left, r.bottom - r.top, r.left, r.top,
                      client.right, client.bottom);
        report += text;
        if (hover > 0) {
            const double before = ProcessorSeconds(process.hProcess);
            LARGE_INTEGER from;
            QueryPerformanceCounter(&from);
            for (int i = 0; Seconds(from) < hover; ++i) {
                // Real pointer input, as a hand on the mouse gives it.
                INPUT move{};
                move.type = INPUT_MOUSE;
                move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
                move.mi.dx = (r.left + 20 + i * 7 % std::max(1L, r.right - r.left - 40)) * 65535 /
                             GetSystemMetrics(SM_CXSCREEN);
                move.mi.dy = (r.top + 40 + i * 13 % std::max(1L, r.bottom - r.top - 60)) * 65535 /
                             GetSystemMetrics(SM_CYSCREEN);
                SendInput(1, &move, sizeof move);
                Sleep(10);
            }
            std::snprintf(text, sizeof text, "hovering %d s: %.0f %% of a core; ", hover,
                          100 * (ProcessorSeconds(process.hProcess) - before) / Seconds(from));
            report += text;
        }
        RecordPeak(process.hProcess, peak);
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 1);
        report += "hung, terminated";
    } else {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        std::snprintf(text, sizeof text, "exit %lu at %.1f s", code, Seconds(start));
        report += text;
    }
    std::snprintf(text, sizeof text, "; peak %lu MB working set, %lu MB committed",
                  static_cast<unsigned long>(peak.PeakWorkingSetSize >> 20),
                  static_cast<unsigned long>(peak.PeakPagefileUsage >> 20));
    report += text;
    std::printf("%s\n", report.c_str());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
