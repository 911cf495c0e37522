#include "config/Win32CheckStateFiles.h"

#include <algorithm>

bool Win32CheckStateFiles::ReadForUpdate(const std::wstring& path, std::string& bytes) {
    // Asking for write access makes a read-only file or medium fail here, before anything changes.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    bytes.clear();
    char buffer[65536];
    for (DWORD got = 0; ok; bytes.append(buffer, got)) {
        ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr);
        if (ok && got == 0) {
            break;
        }
    }
    CloseHandle(file);
    return ok;
}

bool Win32CheckStateFiles::CreateTemporary(const std::wstring& path) {
    temporary_ = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    return temporary_ != INVALID_HANDLE_VALUE;
}

bool Win32CheckStateFiles::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!WriteFile(temporary_, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool Win32CheckStateFiles::Flush() {
    const bool flushed = FlushFileBuffers(temporary_);
    const bool closed = CloseHandle(temporary_);
    temporary_ = INVALID_HANDLE_VALUE;
    return flushed && closed;
}

void Win32CheckStateFiles::Abandon() {
    if (temporary_ != INVALID_HANDLE_VALUE) {
        CloseHandle(temporary_);
        temporary_ = INVALID_HANDLE_VALUE;
    }
}

bool Win32CheckStateFiles::Replace(const std::wstring& temporary, const std::wstring& target) {
    return MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

void Win32CheckStateFiles::Remove(const std::wstring& path) {
    DeleteFileW(path.c_str());
}
