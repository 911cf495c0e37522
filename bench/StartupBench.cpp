// Time from process start to a visible, painted window, for navora.exe beside a program
// that only shows a window, alternating runs on the same machine. Prints the
// medians and their ratio; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    bool found;
};

// A window waiting for paint has an update region; its children count too.
BOOL CALLBACK Unpainted(HWND hwnd, LPARAM param) {
    if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(param) = true;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK Visible(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && IsWindowVisible(hwnd)) {
        bool unpainted = GetUpdateRect(hwnd, nullptr, FALSE) != FALSE;
        if (!unpainted) {
            EnumChildWindows(hwnd, Unpainted, reinterpret_cast<LPARAM>(&unpainted));
        }
        search->found = !unpainted;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds until the started program shows a painted window; -1 if it never does.
double TimeToWindow(std::wstring commandLine) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    double elapsed = -1;
    for (int i = 0; i < 20000; ++i) {
        Search search{process.dwProcessId, false};
        EnumWindows(Visible, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            QueryPerformanceCounter(&now);
            elapsed = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
            break;
        }
        Sleep(1);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // The system tears the ended program down after it has ended: the next run should
    // not start beside that work.
    Sleep(300);
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fputs("usage: startup_bench RUNS MINIMAL_EXE \"NAVORA_EXE ARGS\"\n", stderr);
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    std::vector<double> minimal, navora, paired;
    for (int i = 0; i < runs; ++i) {
        minimal.push_back(TimeToWindow(std::wstring(L"\"") + argv[2] + L"\""));
        navora.push_back(TimeToWindow(argv[3]));
        paired.push_back(navora.back() / minimal.back());
    }
    const double m = Median(minimal);
    const double n = Median(navora);
    // Also the median of each round's own ratio: drift of the machine between rounds cancels.
    std::printf("start to painted window, median of %d runs: minimal %.1f ms, navora %.1f ms, "
                "ratio %.2f (of each round: %.2f)\n",
                runs, m, n, n / m, Median(paired));
    return 0;
}
