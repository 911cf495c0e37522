// Started by the launch tests: records how it was started (show mode, working
// directory, command line) in the file named by its first argument.
#include <windows.h>

#include <string>

#include "xml/TextDecoding.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        return 2;
    }
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    wchar_t cwd[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, cwd);
    const std::string record = "show=" + std::to_string(show) + "\ncwd=" + EncodeUtf8(cwd) +
                               "\ncmd=" + EncodeUtf8(GetCommandLineW()) + "\n";
    // Written aside and moved into place, so the test never reads half a record.
    const std::wstring partial = std::wstring(argv[1]) + L".part";
    const HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    return MoveFileExW(partial.c_str(), argv[1], MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
