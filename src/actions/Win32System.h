// The actions' system services call the real Windows APIs.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "actions/ActionServices.h"

class Win32System final : public ISystemServices {
public:
    // The menu's window owns every box and prompt the shell shows for it; a wait for a
    // started program ends when `dialog` has been closed.
    void SetMenuWindow(HWND window, const IMenuDialog* dialog) {
        window_ = window;
        dialog_ = dialog;
    }
    bool StartFile(const std::wstring& file, const std::wstring& parameters,
                   bool maximized) override;
    bool RunFile(const std::wstring& file, const std::wstring& parameters, const LaunchOptions& how,
                 std::optional<std::uint32_t>& exitCode) override;
    std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) override;
    bool IsAdministrator() override;
    bool IsOs64() override;
    MachineArch NativeMachine() override;
    bool PathMatches(const std::wstring& path) override;
    OsVersion GetOsVersion() override;
    bool IsWow64() override;
    std::optional<RegistryData> ReadRegistryValue(RegistryHive hive, const std::wstring& subkey,
                                                  const std::wstring& name, bool view64) override;
    std::wstring ProgramPath() override;

private:
    HWND window_ = nullptr;
    const IMenuDialog* dialog_ = nullptr;
};

// Fills what the shell is given to start `file` as `how` asks, for the window `owner`;
// `folder` (MAX_PATH characters) holds the working folder it names.
SHELLEXECUTEINFOW ShellLaunchInfo(const std::wstring& file, const std::wstring& parameters,
                                  const LaunchOptions& how, HWND owner, wchar_t* folder);
