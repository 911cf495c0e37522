// Started by the run-and-wait tests: waits MILLISECONDS, leaves FILE (when given) holding
// its command line, and ends with exit code CODE.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        return 2;
    }
    Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    if (argc > 3) {
        const HANDLE file = CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            const wchar_t* line = GetCommandLineW();
            DWORD written = 0;
            WriteFile(file, line, static_cast<DWORD>(std::wcslen(line) * sizeof(wchar_t)), &written,
                      nullptr);
            CloseHandle(file);
        }
    }
    return static_cast<int>(std::wcstoul(argv[1], nullptr, 10));
}
