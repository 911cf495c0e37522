// The demo disc's "setup": a small program for the menu to start. It says that
// it was started, with what, and leaves a marker file when given "--marker PATH".
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int show) {
    const std::wstring args = commandLine;
    const std::wstring option = L"--marker ";
    if (args.rfind(option, 0) == 0) {
        const HANDLE file = CreateFileW(args.substr(option.size()).c_str(), GENERIC_WRITE, 0,
                                        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        const std::string text = "started, show " + std::to_string(show) + "\r\n";
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        return 0;
    }
    MessageBoxW(nullptr, (L"Das Demo-Setup wurde gestartet.\n\nParameter: " + args).c_str(),
                L"Navora Demo-Setup", MB_OK | MB_ICONINFORMATION);
    return 0;
}
