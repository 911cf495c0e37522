// The check-state rewrite takes its file steps with the Win32 file API.
#pragma once

#include <windows.h>

#include "config/CheckState.h"
#include "win/Handles.h"

class Win32CheckStateFiles : public CheckStateFiles {
public:
    bool ReadForUpdate(const std::wstring& path, FileSnapshot& file) override;
    bool HoldForReplace(const std::wstring& path, FileSnapshot& file) override;
    bool CreateTemporary(std::wstring& path) override;
    bool Write(std::string_view bytes) override;
    bool Flush() override;
    void Abandon() override;
    bool Replace(const std::wstring& temporary, const std::wstring& target) override;
    void Remove(const std::wstring& path) override;

private:
    // Opens the configuration into held_ and reads it all.
    bool Read(const std::wstring& path, DWORD access, DWORD share, FileSnapshot& file);

    UniqueFile temporary_;
    UniqueFile held_;      // the configuration, from the read before the replace to the replace
    DWORD attributes_ = 0; // the configuration's, which the new file is created with
};
