// Loaded into the menu by a test's message hook: counts the messages the menu's thread takes
// from its queue, and among them the later-pages timer's (identifier 1), in memory the test
// reads by name.
#include <windows.h>

namespace {

LONG* Counts() {
    static LONG* counts = nullptr;
    if (counts == nullptr) {
        const HANDLE shared = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                 2 * sizeof(LONG), L"navora-timer-counts");
        counts = static_cast<LONG*>(MapViewOfFile(shared, FILE_MAP_WRITE, 0, 0, 0));
    }
    return counts;
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    CountMessages(int code, WPARAM removed, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && Counts() != nullptr) {
        InterlockedIncrement(&Counts()[0]);
        if (message->message == WM_TIMER && message->wParam == 1) {
            InterlockedIncrement(&Counts()[1]);
        }
    }
    return CallNextHookEx(nullptr, code, removed, lParam);
}
