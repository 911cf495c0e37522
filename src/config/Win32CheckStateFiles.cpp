#include "config/Win32CheckStateFiles.h"

#include <ntsecapi.h>

#include <algorithm>

bool Win32CheckStateFiles::ReadForUpdate(const std::wstring& path, FileSnapshot& file) {
    // Asking for write access makes a read-only file or medium fail here, before anything
    // changes.
    const bool read = Read(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, file);
    held_.reset();
    return read;
}

bool Win32CheckStateFiles::HoldForReplace(const std::wstring& path, FileSnapshot& file) {
    // No other program can write it, and Windows puts no other file in the place of an open
    // one; delete sharing is what ReplaceFileW's own open of it asks for.
    return Read(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, file);
}

bool Win32CheckStateFiles::Read(const std::wstring& path, DWORD access, DWORD share,
                                FileSnapshot& file) {
    // A link is opened itself, not followed. A configuration reached through a link, or with
    // more than one name, is left as it is: the replace would cut it off from its other
    // names, or writing through would change a file elsewhere.
    held_.reset(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    bool ok = held_ && GetFileInformationByHandle(held_.get(), &info) &&
              (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
              info.nNumberOfLinks == 1;
    file.writeTime = std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32 |
                     info.ftLastWriteTime.dwLowDateTime;
    attributes_ = info.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    file.bytes.clear();
    char buffer[65536];
    for (DWORD got = 0; ok; file.bytes.append(buffer, got)) {
        ok = ReadFile(held_.get(), buffer, sizeof buffer, &got, nullptr);
        if (ok && got == 0) {
            break;
        }
    }
    return ok;
}

bool Win32CheckStateFiles::CreateTemporary(std::wstring& path) {
    // The new file gets an unpredictable name: a file or link planted under any name is never
    // opened, as CREATE_NEW fails for every existing name and no link is followed. Should
    // the name be taken after all, this rewrite fails and the file is left as it is.
    unsigned long random[2];
    if (!RtlGenRandom(random, sizeof random)) {
        return false;
    }
    wchar_t suffix[18];
    wsprintfW(suffix, L"~%08lx%08lx", random[0], random[1]);
    path += suffix;
    // Made hidden or system as the configuration is, which Wine's ReplaceFileW, unlike
    // Windows', does not carry over.
    temporary_.reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 attributes_ | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return static_cast<bool>(temporary_);
}

bool Win32CheckStateFiles::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!WriteFile(temporary_.get(), bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool Win32CheckStateFiles::Flush() {
    const bool flushed = FlushFileBuffers(temporary_.get());
    const bool closed = temporary_.close();
    return flushed && closed;
}

void Win32CheckStateFiles::Abandon() {
    temporary_.reset();
    held_.reset();
}

bool Win32CheckStateFiles::Replace(const std::wstring& temporary, const std::wstring& target) {
    // The configuration keeps its attributes, security, streams and creation time.
    if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr)) {
        held_.reset();
        return true;
    }
    const bool lost = GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
    held_.reset();
    if (!lost) {
        return false;
    }
    // Windows removed the configuration and left the new file under its own name: that takes
    // the configuration's name, or stays as it is, and is never removed.
    MoveFileExW(temporary.c_str(), target.c_str(), 0);
    return true;
}

void Win32CheckStateFiles::Remove(const std::wstring& path) {
    DeleteFileW(path.c_str());
}
