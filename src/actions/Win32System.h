// The actions' system services on the real Windows APIs.
#pragma once

#include "actions/ActionServices.h"

class Win32System final : public ISystemServices {
public:
    bool StartFile(const std::wstring& file, const std::wstring& parameters,
                   bool maximized) override;
    bool RunFile(const std::wstring& file, const std::wstring& parameters, const LaunchOptions& how,
                 std::optional<std::uint32_t>& exitCode) override;
    std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) override;
    bool IsAdministrator() override;
    bool IsOs64() override;
    bool PathMatches(const std::wstring& path) override;
    OsVersion GetOsVersion() override;
    bool IsWow64() override;
    std::optional<RegistryData> ReadRegistryValue(RegistryHive hive, const std::wstring& subkey,
                                                  const std::wstring& name, bool view64) override;
    std::wstring ProgramPath() override;
};
